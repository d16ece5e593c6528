#pragma once
// One kept result set of a drive: what is needed to tell each folder's size
// at the time the set was saved, and nothing more (no shares: they follow
// from the sizes). A file holds one zstd frame with its checksum; inside,
// the folder paths in the order of the result files, each written as the
// length it shares with the path before it and the bytes that follow, then
// the sizes as variable-length numbers. Sorted paths share most of their
// bytes, so a kept set costs a small part of the three result files.
// The set's extra lists (ExtraLists.h) follow the sizes, each as a line
// "extra <role> <count>" and its lines as length and bytes; a snapshot of
// an earlier version has none, and is as valid.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/ExtraLists.h"
#include "engine/StringList.h"

struct THistorySnapshot {
    char Drive = 0;                   // the drive letter, upper case
    std::int64_t Time = 0;            // when the set was saved: seconds since 1970, UTC
    TStringList Dirs;                 // folder paths in byte order ("C:", "C:\Data", ...)
    std::vector<std::int64_t> Sizes;  // parallel to Dirs
    TExtraLists Extras;               // the set's extra lists, by role
    std::uint64_t ExtraBytes = 0;     // their plain bytes, as the header says
};

// Writes a snapshot of dirs and sizes (the texts of a result set) to path,
// replacing it as a whole, mode 0600. False with the reason in error when
// the lists cannot be kept (unequal lengths, a size that is not a whole
// number) or the file cannot be written; nothing is then left at path.
bool WriteHistorySnapshot(const std::string& path, char drive, std::int64_t time,
                          const TStringList& dirs, const TStringList& sizes, std::string& error,
                          const TExtraLists& extras = {});

// Reads a snapshot. False with the reason in error for a file that cannot
// be read or does not hold a whole, well-formed snapshot (damaged, cut off,
// of another kind): every byte is checked before anything is used.
bool ReadHistorySnapshot(const std::string& path, THistorySnapshot& snapshot, std::string& error);
