#include "engine/DriveScanSave.h"

#include <functional>

#include "engine/ResultStore.h"
#include "engine/ScanHistory.h"

namespace {

using TSave = std::function<bool(TReplacedSet* replaced)>;

bool SaveKeepingHistory(TResultStore& store, const TSave& save, std::string& historyNote) {
    historyNote.clear();
    TScanHistory history(store.DataFolder);
    const bool named = !store.PercentsFile.empty();
    const char drive = named ? store.PercentsFile[store.DataFolder.size()] : '\0';
    const bool keep = named && history.Keep > 0 && drive >= 'A' && drive <= 'Z';
    // The set replaced is read under the save's own lock: another save just
    // before this one is what this one replaces, and is kept once.
    TReplacedSet replaced;
    if (!save(keep ? &replaced : nullptr)) {
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

}  // namespace

bool SaveDriveScan(TResultStore& store, const TStringList& dirs, const TStringList& dirSizes,
                   const TStringList& percents, std::string& historyNote) {
    return SaveKeepingHistory(
        store,
        [&](TReplacedSet* replaced) {
            return store.SaveAnalizeData(dirs, dirSizes, percents, replaced);
        },
        historyNote);
}

bool SaveDriveScanAsGlobal(TResultStore& store, TStringList dirs, TStringList dirSizes,
                           TStringList percents, std::string& historyNote) {
    return SaveKeepingHistory(
        store,
        [&](TReplacedSet* replaced) {
            return store.SaveAsGlobal(std::move(dirs), std::move(dirSizes), std::move(percents),
                                      replaced);
        },
        historyNote);
}
