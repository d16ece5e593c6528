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
//     typefiles COUNT                   the largest files of COUNT listed types
//     type FILES FLOOR EXT              for each, by extension in byte order,
//     SIZE ALLOCATED MTIME PATH           FILES lines, largest first
//     old COUNT FLOOR SCANTIME          the largest files not changed for a year
//     SIZE ALLOCATED MTIME PATH         COUNT lines, largest first
//
// The last two sections were added later and each may be missing: a file
// written before them ends after the types, and its per-type and old files
// are then not known until the next scan. (A reader of that time refuses a
// file with them, for text after the types, rather than misread it.) The
// old files are those changed more than kOldSeconds before SCANTIME, the
// scan's start in seconds since 1970; a scan whose files came without times
// stores no old files.
//
// FLOOR is -1 after a drive scan: the list is the drive's largest files.
// Otherwise the list holds every file larger than FLOOR bytes (up to its
// length) and may hold fewer than kLargestFiles until the next drive scan:
// a folder rescan knows the files outside the folder only from the list,
// and a walk gives up a size of which it met too many files at the list's
// end (LargestFiles.h). The type table cannot take a folder's old files out (it keeps no
// totals per folder), so after a rescan it stays as it was and says so.
// Each type's FLOOR and the old files' FLOOR mean the same for their lists.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "engine/FileListEdit.h"
#include "engine/FileTypeTable.h"
#include "engine/LargestFiles.h"
#include "engine/StringList.h"

// The most old files listed per drive.
inline constexpr std::size_t kOldFiles = kLargestFiles;
// A file not changed for this long before the scan is old (a year).
inline constexpr std::int64_t kOldSeconds = 365 * 24 * 3600;

struct TDiscoverData {
    std::vector<TLargeFile> Largest;  // largest first, equal sizes by path
    std::int64_t Floor = -1;
    bool HasTimes = true;
    TFileTypes Types;
    bool TypesAsOfDriveScan = false;
    // The largest files (kTypeFiles at most) of listed types, by extension;
    // known when TypeFilesKnown. A listed type without a list has files not
    // known until the next drive scan (a rescanned folder had too many
    // types to list them all).
    std::map<std::string, TFileList> TypeFiles;
    bool TypeFilesKnown = false;
    // The largest files (kOldFiles at most) changed before OldBefore();
    // known when ScanTime is (the start of the scan, seconds since 1970).
    TFileList Old;
    std::int64_t ScanTime = kNoTime;

    // Fewer files listed than a drive scan would list.
    bool Partial() const { return Floor >= 0 && Largest.size() < kLargestFiles; }
    bool OldKnown() const { return ScanTime != kNoTime; }
    // The time before which a file's last change makes it old.
    std::int64_t OldBefore() const { return ScanTime - kOldSeconds; }

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
    // each list is cut to what is known for certain (see FLOOR above), the
    // old files stay counted from this data's scan time and the type table
    // is marked as of the last drive scan.
    void MergeRescan(std::string_view folder, const TDiscoverData& inside);
    // The old files as they would be counted from an earlier scan time (a
    // rescan's list read as of the drive scan's time): those changed before
    // it, and what is known of them for certain.
    TFileList OldFilesAsOf(std::int64_t scanTime) const;

    bool operator==(const TDiscoverData& o) const {
        return Largest == o.Largest && Floor == o.Floor && HasTimes == o.HasTimes &&
               Types == o.Types && TypesAsOfDriveScan == o.TypesAsOfDriveScan &&
               TypeFiles == o.TypeFiles && TypeFilesKnown == o.TypeFilesKnown && Old == o.Old &&
               ScanTime == o.ScanTime;
    }
};

// The type of the file at a drive-form path: its name's extension in lower
// case (FileTypeTable.h), empty when it has none.
std::string FileTypeOf(std::string_view path);
