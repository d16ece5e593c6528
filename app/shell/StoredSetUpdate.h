#pragma once
// The one place where an item command changes a drive's stored set.
//
// STAND-IN: TResultStore is getting UpdateStoredSet with this signature
// (under one exclusive lock: the set on disk taken when it changed since the
// window loaded it, change applied, saved atomically, the global lists
// reloaded). When it is there, this function's body becomes
// "return store.UpdateStoredSet(change);".
#include <functional>

#include "engine/StringList.h"

class TResultStore;

using TStoredSetChange =
    std::function<void(TStringList& dirs, TStringList& sizes, TStringList& percents)>;

// Applies change to the global lists and stores them; a failed save leaves
// the lists as they were. False when the set could not be stored.
bool UpdateStoredSet(TResultStore& store, const TStoredSetChange& change);
