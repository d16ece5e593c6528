#pragma once
// What the Discover panel shows of a drive: its largest files and its file
// types, as the walk collected them, stored beside the drive's result files.
//
// The stored text (lines end in CR LF; paths and extensions escaped as
// names in drive-form paths are, so no line break can be inside one):
//
//     cobaltquarry discover 1
//     largest COUNT FLOOR TIMES         TIMES 1 when the times are known
//     SIZE ALLOCATED MTIME PATH         COUNT lines, largest first; MTIME "-"
//     types COUNT ASOF                  ASOF 1: as of the last drive scan
//     FILES BYTES ALLOCATED             the files without an extension
//     FILES BYTES ALLOCATED             "other": the types not listed
//     FILES BYTES ALLOCATED EXT         COUNT lines, largest first
//
// FLOOR is -1 after a drive scan: the list is the drive's largest files.
// Otherwise the list holds every file larger than FLOOR bytes (up to its
// length) and may hold fewer than kLargestFiles until the next drive scan:
// a folder rescan knows the files outside the folder only from the list,
// and a walk gives up a size of which it met too many files at the list's
// end (LargestFiles.h). The type table cannot take a folder's old files out (it keeps no
// totals per folder), so after a rescan it stays as it was and says so.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/FileTypeTable.h"
#include "engine/LargestFiles.h"
#include "engine/StringList.h"

struct TDiscoverData {
    std::vector<TLargeFile> Largest;  // largest first, equal sizes by path
    std::int64_t Floor = -1;
    bool HasTimes = true;
    TFileTypes Types;
    bool TypesAsOfDriveScan = false;

    // Fewer files listed than a drive scan would list.
    bool Partial() const { return Floor >= 0 && Largest.size() < kLargestFiles; }

    std::string Text() const;
    // False, with the line and what is wrong in Error, unless Text is a
    // complete discover file of this format.
    static bool Parse(std::string_view text, TDiscoverData& data, std::string& error);
    // The text as the lines a result set stores (without their CR LF), and
    // back.
    TStringList Lines() const;
    static bool FromLines(const TStringList& lines, TDiscoverData& data, std::string& error);

    // Takes in the data of a rescan of Folder (drive form, no trailing
    // backslash): the listed files inside it are replaced by the rescan's,
    // the list is cut to what is known for certain (see FLOOR above) and the
    // type table is marked as of the last drive scan.
    void MergeRescan(std::string_view folder, const TDiscoverData& inside);

    bool operator==(const TDiscoverData& o) const {
        return Largest == o.Largest && Floor == o.Floor && HasTimes == o.HasTimes &&
               Types == o.Types && TypesAsOfDriveScan == o.TypesAsOfDriveScan;
    }
};

// True when Path lies below Folder (drive letters in either case).
bool PathIsBelow(std::string_view path, std::string_view folder);
