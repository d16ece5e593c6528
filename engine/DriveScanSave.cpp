#include "engine/DriveScanSave.h"

#include "engine/ResultStore.h"
#include "engine/ScanHistory.h"
#include "platform/DataFolder.h"
#include "platform/HistoryFolder.h"

namespace {

// The drive's stored set as the window would load it, with the time it was
// saved; false when there is none that can be trusted.
bool LoadStoredSet(const TResultStore& store, char drive, TStringList& dirs, TStringList& sizes,
                   std::int64_t& time) {
    TResultStore stored(store.DataFolder);
    stored.SetFiles(std::string(1, drive) + ":");
    if (!stored.AnalizeFiExists() || !stored.LoadGlobal()) {
        return false;
    }
    // The manifest is written last by a save; a set saved without one has
    // only its files' times.
    time = DataFileTime(stored.SetFile);
    if (time < 0) {
        time = DataFileTime(stored.DirsFile);
    }
    dirs = std::move(stored.GlobalDirs);
    sizes = std::move(stored.GlobalDirSizes);
    return time >= 0;
}

}  // namespace

bool SaveDriveScan(TResultStore& store, const TStringList& dirs, const TStringList& dirSizes,
                   const TStringList& percents, std::string& historyNote) {
    historyNote.clear();
    TScanHistory history(store.DataFolder);
    const bool named = !store.PercentsFile.empty();
    const char drive = named ? store.PercentsFile[store.DataFolder.size()] : '\0';
    TStringList oldDirs, oldSizes;
    std::int64_t time = 0;
    const bool keep = named && history.Keep > 0 && drive >= 'A' && drive <= 'Z' &&
                      LoadStoredSet(store, drive, oldDirs, oldSizes, time);
    if (!store.SaveAnalizeData(dirs, dirSizes, percents)) {
        return false;
    }
    std::string error;
    if (keep && !history.Record(drive, time, oldDirs, oldSizes, error)) {
        historyNote = "The results before this scan of drive " + std::string(1, drive) +
                      ": could not be kept for comparison: " + error + ".";
    }
    return true;
}
