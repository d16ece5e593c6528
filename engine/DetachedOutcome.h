#pragma once
// What a save of the global set on another thread hands back to the store
// whose lists it saved (TResultStore::TakeDetachedOutcome): whether they were
// stored, why not, and what the store then knows of the set on disk.
#include <string>

#include "engine/StoredSet.h"
#include "engine/StoredSetStamp.h"

struct TDetachedOutcome {
    bool Saved = false;
    // Why the save failed; empty after a save that stored the lists.
    std::string Error;
    // What the user should be told of the set the save read.
    std::string LoadNotice;
    // A rescan was merged into a newer set on disk: Shown is what was
    // stored, to replace the lists shown.
    bool Remerged = false;
    // A change was made on the worker's thread: Shown is the lists with it
    // made, to be shown whether or not they were stored.
    bool Changed = false;
    TStoredSet Shown;
    // The set on disk now stored (when Saved).
    TStoredSetOrigin Origin;
};
