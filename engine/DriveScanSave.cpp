#include "engine/DriveScanSave.h"

#include "engine/ResultStore.h"
#include "engine/ScanHistory.h"

bool SaveDriveScan(TResultStore& store, const TStringList& dirs, const TStringList& dirSizes,
                   const TStringList& percents, std::string& historyNote) {
    historyNote.clear();
    TScanHistory history(store.DataFolder);
    const bool named = !store.PercentsFile.empty();
    const char drive = named ? store.PercentsFile[store.DataFolder.size()] : '\0';
    const bool keep = named && history.Keep > 0 && drive >= 'A' && drive <= 'Z';
    // The set replaced is read under the save's own lock: another save just
    // before this one is what this one replaces, and is kept once.
    TReplacedSet replaced;
    if (!store.SaveAnalizeData(dirs, dirSizes, percents, keep ? &replaced : nullptr)) {
        return false;
    }
    std::string error;
    if (replaced.Whole &&
        !history.Record(drive, replaced.Time, replaced.Dirs, replaced.Sizes, error)) {
        historyNote = "The results before this scan of drive " + std::string(1, drive) +
                      ": could not be kept for comparison: " + error + ".";
    }
    return true;
}
