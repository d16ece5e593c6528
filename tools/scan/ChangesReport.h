#pragma once
// What `cobaltquarry-scan --changes` prints: how the subfolders of a folder
// changed between a kept set of its drive's results and the current ones:
// the largest growths (new folders among them) and the largest shrinkages
// (gone folders among them). Unchanged folders are not listed.
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "engine/ResultChanges.h"
#include "engine/StringList.h"

struct TChangedFolder {
    enum class TState { Grown, Shrunk, New, Gone };
    TState State = TState::Grown;
    std::string Name;         // raw bytes of the native name
    std::int64_t Bytes = 0;   // now; 0 for a gone folder
    std::int64_t Before = 0;  // in the kept set; 0 for a new folder
    std::int64_t Change = 0;  // Bytes - Before
};

struct TChangesReport {
    std::string NativePath;
    std::string DriveForm;
    std::string KeptName;                // the kept set's file name
    std::int64_t KeptTime = 0;           // when it was saved
    std::int64_t Bytes = 0;              // the folder now
    std::int64_t Before = 0;             // and then
    bool FolderIsNew = false;            // the folder was not in the kept set
    std::vector<TChangedFolder> Grown;   // largest growth first
    std::vector<TChangedFolder> Shrunk;  // largest loss first
};

// The report of folder (drive form as the lists keep it: "C:" for a root)
// from the current lists and their comparison with a kept set: at most top
// growths and top shrinkages among its direct subfolders. False when the
// folder is not in the current lists.
bool MakeChangesReport(const TStringList& dirs, const TResultChanges& changes,
                       const std::string& folder, int top, TChangesReport& report);

void PrintChangesText(const TChangesReport& report, std::ostream& out);
void PrintChangesJson(const TChangesReport& report, std::ostream& out);
