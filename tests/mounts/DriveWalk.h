#pragma once
// The settings of a walk of drive T:, every entry taking part, on Threads
// threads; the caller maps T: to the folder it walks.
#include "engine/TreeWalk.h"
#include "platform/DirListing.h"

inline TWalkSettings DriveWalkSettings(int threads) {
    TWalkSettings s;
    s.Directory = "T:\\";
    s.Patterns = {"*"};
    s.Mask = faHidden | faSysFile | faDirectory | faReadOnly;
    s.Recurse = true;
    s.Threads = threads;
    return s;
}
