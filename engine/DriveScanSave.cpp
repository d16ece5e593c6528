#include "engine/DriveScanSave.h"

#include "engine/ResultStore.h"
#include "engine/ScanHistory.h"

namespace {

// The drive whose set is to be kept, or '\0' when none is kept.
char DriveToKeep(const TResultStore& store) {
    if (store.PercentsFile.empty() || TScanHistory::KeepFromEnvironment() <= 0)
        return '\0';
    const char drive = store.PercentsFile[store.DataFolder.size()];
    return drive >= 'A' && drive <= 'Z' ? drive : '\0';
}

}  // namespace

THistoryCopy HistoryCopyFor(const TResultStore& store) {
    return THistoryCopy{store.DataFolder, DriveToKeep(store), {}};
}

std::string KeepInHistory(const THistoryCopy& copy) {
    if (copy.Drive == '\0' || !copy.Set.Whole)
        return {};
    TScanHistory history(copy.DataFolder);
    std::string error;
    if (history.Record(copy.Drive, copy.Set.Time, copy.Set.Dirs, copy.Set.Sizes, error,
                       copy.Set.Extras))
        return {};
    return "The results before this scan of drive " + std::string(1, copy.Drive) +
           ": could not be kept for comparison: " + error + ".";
}

bool SaveDriveScan(TResultStore& store, const TStringList& dirs, const TStringList& dirSizes,
                   const TStringList& percents, std::string& historyNote,
                   const TExtraLists& extras) {
    historyNote.clear();
    // The set replaced is read under the save's own lock: another save just
    // before this one is what this one replaces, and is kept once.
    THistoryCopy copy = HistoryCopyFor(store);
    if (!store.SaveAnalizeData(dirs, dirSizes, percents, copy.Drive ? &copy.Set : nullptr, extras))
        return false;
    historyNote = KeepInHistory(copy);
    return true;
}

bool SaveDriveScanAsGlobal(TResultStore& store, TStringList dirs, TStringList dirSizes,
                           TStringList percents, THistoryCopy& copy, TExtraLists extras) {
    copy = HistoryCopyFor(store);
    return store.SaveAsGlobal(std::move(dirs), std::move(dirSizes), std::move(percents),
                              copy.Drive ? &copy.Set : nullptr, std::move(extras));
}
