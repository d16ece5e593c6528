#pragma once
// The save at the end of a scan of a whole drive: the drive's new results
// replace its result files, and the set they replace is kept in the drive's
// history (ScanHistory.h), so that what changed since can be shown later.
// Folder rescans do not come here: they change a set instead of replacing it.
#include <string>

#include "engine/ResultStore.h"
#include "engine/StoredSet.h"

// store has its files named (SetFiles) for the drive. Saves the set as
// SaveAnalizeData does and returns what it returns. When the drive had a
// whole stored set before, that set (as it was when the save replaced it,
// read under the save's lock) is kept after the new one is stored; a
// set that could not be kept leaves a message in historyNote (the save
// itself is not affected), otherwise historyNote is emptied.
// The extra lists are saved with the set, and the replaced set's are kept
// with it in the history.
bool SaveDriveScan(TResultStore& store, const TStoredSet& set, std::string& historyNote);
// The set a drive scan replaced, to be kept in the drive's history once the
// new one is stored.
struct THistoryCopy {
    std::string DataFolder;
    char Drive = '\0';  // '\0': no set is kept
    TReplacedSet Set;   // Whole only when there was a set to keep
};

// What is needed to keep the set a save of store's drive replaces (no set
// has been read yet): Drive is '\0' when no history is kept.
THistoryCopy HistoryCopyFor(const TResultStore& store);

// The first half of SaveDriveScan, with SaveAsGlobal: afterwards the store's
// global set is the set stored (not read back from the files), and copy
// holds the set replaced. The history copy is left to KeepInHistory, which
// may run on another thread: it takes its own lock of the data folder.
bool SaveDriveScanAsGlobal(TResultStore& store, TStoredSet set, THistoryCopy& copy);
// Keeps copy's set in its drive's history; empty, or the message that it
// could not be kept.
std::string KeepInHistory(const THistoryCopy& copy);
