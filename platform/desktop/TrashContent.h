#pragma once
// What the trash folders of a drive hold, their size, and the two ways out
// of the trash: back to the original place, or gone for good. Both keep
// every trash folder valid: an item and its info file leave together (the
// item first, so that a failure leaves at most an info file without its
// item, which every reader skips), and nothing is ever replaced.
//
// Sizes are those a scan lists: the bytes of every file, link and other
// non-folder entry below files/ and info/, a file of several links once.
// The optional directorysizes cache of a trash is neither read (the walk is
// exact) nor written (readers check its lines against the folders anyway).
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/desktop/ItemActions.h"
#include "platform/desktop/TrashFolders.h"

namespace cq::desktop {

class TFileEventLog;

struct TTrashItem {
    TTrashFolder Trash;
    std::string Name;          // the name in files/ (the info file is Name.trashinfo)
    std::string OriginalPath;  // empty when no readable info file tells it
    std::string DeletionDate;  // as the info file writes it
    std::int64_t Bytes = 0;    // the item's files, and its info file
    bool Folder = false;
    bool Present = true;  // false: an info file whose item is gone

    std::string FilesPath() const { return Trash.Path + "/files/" + Name; }
    std::string InfoPath() const { return Trash.Path + "/info/" + Name + ".trashinfo"; }
};

struct TTrashListing {
    std::vector<TTrashItem> Items;  // in each folder's info order, then items without info
    std::int64_t Bytes = 0;         // every file below files/ and info/ of every folder
    std::vector<QString> Problems;  // folders or info files that could not be read
};

// The items of the folders and their sizes (the folders are walked).
TTrashListing ListTrash(const std::vector<TTrashFolder>& folders);
// Only the size: the bytes below files/ and info/; problems, when given,
// receives what could not be read. A set cancel ends the walk early, with
// a partial sum the caller must not show.
std::int64_t TrashBytes(const std::vector<TTrashFolder>& folders,
                        std::vector<QString>* problems = nullptr,
                        const std::atomic<bool>* cancel = nullptr);

// Moves the item back to its original place. Refused, with nothing
// changed, when the place is not known, an item stands there now, its
// folder is gone or lies on another file system.
TActionResult RestoreTrashItem(const TTrashItem& item, TFileEventLog* log = nullptr);
// Deletes the item and its info file for good. An item only partly
// deleted (a file that could not be removed) keeps its info file and is
// logged as deleted and appeared again, so what is left is measured.
TActionResult DeleteTrashItem(const TTrashItem& item, TFileEventLog* log = nullptr);

}  // namespace cq::desktop
