#pragma once
// Stores a finished scan the way the desktop program does: the scan of a
// drive root replaces the drive's result files; the scan of any other folder
// is merged into the drive's stored results, which must exist already. The
// results a drive root's scan replaces are kept in the drive's history.
#include <string>

#include "engine/StoredSet.h"

class TResultStore;

enum class TScanSaveStatus {
    Replaced,   // a drive root: its three result files written anew
    Merged,     // a folder: the stored results updated and written back
    NotStored,  // a folder of a drive without stored results: nothing written
    Failed,     // the files could not be read or written: nothing replaced
};

struct TScanSaveOutcome {
    TScanSaveStatus Status = TScanSaveStatus::Failed;
    // For standard error: what went wrong, or after a merge into a set that
    // was not as last saved (kept from before an interrupted save, or
    // changed outside the program), that, or after a replacement that the
    // results before it could not be kept; empty otherwise.
    std::string Message;
};

// Saves the set of a scan (first entry: the scanned folder, "C:" for a
// drive root) through store, its extra lists (TAnalizeDisk::TakeExtras)
// stored or merged with it. After a merge the store's global set holds what
// was stored; otherwise it may hold anything. The set is not copied.
TScanSaveOutcome SaveScanResults(TResultStore& store, const TStoredSet& scan);
