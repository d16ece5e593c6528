#include "engine/DriveScanSave.h"

#include "engine/DuplicateKind.h"
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
    const TStoredSet& kept = copy.Set.Lists;
    // The last duplicate search is the drive's only until its next scan.
    TExtraLists extras = kept.Extras;
    if (const auto it = extras.find(kDuplicatesRole); it != extras.end())
        extras.erase(it);
    if (history.Record(copy.Drive, copy.Set.Time, kept.Dirs, kept.Sizes, error, extras))
        return {};
    return "The results before this scan of drive " + std::string(1, copy.Drive) +
           ": could not be kept for comparison: " + error + ".";
}

bool SaveDriveScan(TResultStore& store, const TStoredSet& set, std::string& historyNote) {
    historyNote.clear();
    // The set replaced is read under the save's own lock: another save just
    // before this one is what this one replaces, and is kept once.
    THistoryCopy copy = HistoryCopyFor(store);
    if (!store.SaveAnalizeData(set, copy.Drive ? &copy.Set : nullptr))
        return false;
    historyNote = KeepInHistory(copy);
    return true;
}

bool SaveDriveScanAsGlobal(TResultStore& store, TStoredSet set, THistoryCopy& copy) {
    copy = HistoryCopyFor(store);
    return store.SaveAsGlobal(std::move(set), copy.Drive ? &copy.Set : nullptr);
}
