#pragma once
// Replacing one file by another name for a kept file's data, atomically:
// the new name is made beside the file under a temporary name and then
// renamed over it, so that at any moment (also when the program is killed)
// the path holds either the old file whole or the new one whole. A
// temporary left behind by a kill is named ".NAME.cq-replace-XXXXXX".
#include <string>

#include "platform/FileContent.h"

struct TReplaceOutcome {
    bool Ok = false;
    std::string Error;  // why not, in plain words
    // A clone's own identity as made (a new inode, with the replaced file's
    // times): what the name holds from then on, for a result that follows.
    TFileIdentity Made;
};

// Makes target a hard link to kept (both on one file system): the name then
// shows the kept file's mode, owner and times, and both names change
// together from then on.
TReplaceOutcome ReplaceByHardLink(const std::string& kept, const std::string& target);

// Makes target a clone of kept that shares its data extents (FICLONE, on a
// file system that supports it, such as btrfs or XFS), with target's own
// mode, owner and times; the two stay independent files. Fails without a
// change where the file system cannot clone.
TReplaceOutcome ReplaceByClone(const std::string& kept, const std::string& target);

// The name a replacement of target is made under first (exposed for tests
// that look for left-over temporaries).
bool IsReplaceTemporary(const std::string& fileName);
