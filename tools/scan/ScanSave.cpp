#include "tools/scan/ScanSave.h"

#include "engine/DriveScanSave.h"
#include "engine/ExtraRescan.h"
#include "engine/RescanMerge.h"
#include "engine/ResultStore.h"

namespace {

// "C:" has no backslash: the analyzer names a drive root by its letter only.
bool IsDriveRoot(const std::string& dirsEntry) {
    return dirsEntry.find('\\') == std::string::npos;
}

TScanSaveOutcome Outcome(TScanSaveStatus status, std::string message = {}) {
    return TScanSaveOutcome{status, std::move(message)};
}

}  // namespace

TScanSaveOutcome SaveScanResults(TResultStore& store, const TStoredSet& scan) {
    const TStringList& dirs = scan.Dirs;
    if (dirs.empty())
        return Outcome(TScanSaveStatus::Failed, "the scan gave no results to save");
    const std::string scanned(dirs[0]);
    const std::string drive = scanned.substr(0, 2);
    store.SetFiles(scanned);
    if (store.PercentsFile.empty())
        return Outcome(TScanSaveStatus::Failed,
                       "cannot store the results of " + drive + ": " + store.DataFolderProblem);
    const std::string where = " in " + store.DataFolder;
    if (IsDriveRoot(scanned)) {
        // The set replaced is kept in the drive's history, as the window does.
        std::string historyNote;
        if (!SaveDriveScan(store, scan, historyNote))
            return Outcome(TScanSaveStatus::Failed, "cannot write the result files of " + drive +
                                                        where + " (" + store.SaveError +
                                                        "); the earlier ones are kept");
        return Outcome(TScanSaveStatus::Replaced, historyNote);
    }
    // A folder's scan only updates what an analysis of its whole drive holds:
    // on its own it would be no drive's results at all.
    if (!store.AnalizeFiExists())
        return Outcome(TScanSaveStatus::NotStored, "drive " + drive + " has no stored results" +
                                                       where + ", so the scan of " + scanned +
                                                       " was not saved; scan the drive root " +
                                                       drive + "\\ with --save first");
    // Merging into lists that cannot be trusted would store their faults
    // again under a new manifest.
    if (!store.LoadGlobal())
        return Outcome(TScanSaveStatus::Failed, store.LoadNotice +
                                                    " Nothing was saved; scan the drive root " +
                                                    drive + "\\ with --save to store it anew");
    // The merge goes into the set as it is when the lock is taken: a save of
    // the same drive in between (another scanner, the window) is kept.
    const bool merged = store.UpdateStoredSet([&scan](TStoredSet& stored) {
        if (!stored.Empty())
            AppendRescanWithExtras(stored, scan);
    });
    // A set saved in between that cannot be used is told as a load would.
    if (!merged && store.SaveError == store.LoadNotice)
        return Outcome(TScanSaveStatus::Failed, store.LoadNotice +
                                                    " Nothing was saved; scan the drive root " +
                                                    drive + "\\ with --save to store it anew");
    if (!merged)
        return Outcome(TScanSaveStatus::Failed, "cannot write the result files of " + drive +
                                                    where + " (" + store.SaveError +
                                                    "); the earlier ones are kept");
    // A set whose last save was cut off loaded as the one before it: the
    // merge went into that, which is worth knowing.
    return Outcome(TScanSaveStatus::Merged, store.LoadNotice);
}
