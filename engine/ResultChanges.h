#pragma once
// What changed in a drive between one of its kept sets and its current
// results: for every current folder its size then (or that it is new), and
// the folders that have gone since, with the size they had. Both sides are
// in the byte order of the result files, so one pass over the two lists
// pairs them.
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "engine/HistorySnapshot.h"
#include "engine/StringList.h"

struct TResultChanges {
    // The size of a folder that was not there.
    static constexpr std::int64_t kAbsent = std::numeric_limits<std::int64_t>::min();

    // Parallel to the current lists: each folder's size now and in the kept
    // set (kAbsent when it is new since).
    std::vector<std::int64_t> Now;
    std::vector<std::int64_t> Before;
    // Folders of the kept set that are not in the current lists, in byte
    // order, with their sizes then.
    TStringList GoneDirs;
    std::vector<std::int64_t> GoneSizes;

    bool IsNew(std::size_t k) const { return Before[k] == kAbsent; }
    // Bytes gained (negative: lost) by current folder k since the kept set;
    // a new folder gained all it holds.
    std::int64_t Change(std::size_t k) const;
    // Positions in GoneDirs of the gone folders directly inside folder
    // (a drive form: "C:" or "C:\" for the root, "C:\Data").
    std::vector<std::size_t> GoneInside(const std::string& folder) const;
};

// Pairs the current lists (paths and size texts; a size that does not read
// counts as 0) with a kept set of the same drive.
TResultChanges CompareResults(const TStringList& dirs, const TStringList& sizes,
                              const THistorySnapshot& kept);
