#pragma once
// What --largest N, --types (with --type-files N) and --old N print: the
// largest files of the scan (or of the stored results, or of an export),
// its file types with each type's largest files, and its largest files not
// changed for a year before the scan, after the report's own lines or under
// the keys "largest_files", "file_types" (each type's "largest_files") and
// "old_files".
#include <iosfwd>
#include <string>

#include "engine/DiscoverData.h"

class QJsonObject;

struct TDiscoverReport {
    int Largest = 0;     // --largest N: how many files (0: none)
    bool Types = false;  // --types
    int TypeFiles = 0;   // --type-files N: each type's N largest files
    int Old = 0;         // --old N: how many old files (0: none)
    // The data, or why there is none (results stored by an earlier version).
    bool Known = false;
    std::string Unknown;
    TDiscoverData Data;
    // Paths are shown natively: RootNative stands for RootDriveForm.
    std::string RootDriveForm, RootNative;
    // Only the files below this folder (drive form) are listed; empty: all.
    std::string Below;

    bool Wanted() const { return Largest > 0 || Types || Old > 0; }
};

// The native path of a listed file (raw bytes).
std::string DiscoverNativePath(const TDiscoverReport& report, const std::string& path);

void PrintDiscoverText(const TDiscoverReport& report, std::ostream& out);
// --stored: the folder's path and drive form, then the sections.
void PrintStoredDiscover(const std::string& native, const std::string& driveForm,
                         const TDiscoverReport& report, bool json, std::ostream& out);
// The report's data from a set's extra lists (not known without them).
class TStringList;
void ReadDiscoverLines(const TStringList* lines, TDiscoverReport& report);
void PutDiscoverJson(const TDiscoverReport& report, QJsonObject& o);
