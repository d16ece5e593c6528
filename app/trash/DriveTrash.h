#pragma once
// The trash folders of a drive, found through the drive table: the home
// trash counts for the drive it lies on, the top-level trashes for the
// drive whose mount point holds them.
#include <string>
#include <vector>

#include "platform/desktop/TrashFolders.h"

// letter: the drive's letter ('C'); nothing for a letter that is not a
// drive of the table.
std::vector<cq::desktop::TTrashFolder> DriveTrashFolders(char letter);
// The free bytes of the drive's file system; -1 when not known.
long long DriveFreeBytes(char letter);
