#pragma once
// What the item context menu does to files and folders. Nothing here ever
// removes data for good: "delete" moves the item to the desktop's trash, a
// cut and paste only renames, and a copy that fails half-way moves its own
// half-made copy to the trash. Every action either succeeds or leaves the
// file system as it was and says why in plain words.
#include <QByteArray>
#include <QString>
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/desktop/TrashFolders.h"

class QMimeData;

namespace cq::desktop {

class TFileEventLog;

struct TActionResult {
    bool ok = true;
    QString error;  // why the action failed, for a message box

    static TActionResult Done() { return {}; }
    static TActionResult Failed(const QString& why) { return {false, why}; }
};

// Names are handled as the bytes the file system holds, also where they are
// not valid UTF-8: no path goes through text on its way to a system call.

// Moves the item (a file, a link or a whole folder) to the freedesktop trash:
// the data home's trash for an item on the same file system, else the trash
// at the top of the item's mount (.Trash-UID). The trash info records the
// path percent-encoded byte by byte, so a restore gives the same name back.
// trashedAs receives where it went, when given; log, when given, receives
// the trash folders made, the info file and the move (here and below: what
// was done, also when the action failed part way).
TActionResult MoveItemToTrash(const std::string& nativePath, std::string* trashedAs = nullptr,
                              TFileEventLog* log = nullptr);

// PercentEncodePath (a path as a URI path) is in TrashFolders.h.
// The local path of a file URI ("file:///a%FF", "file://localhost/a"); none
// for any other address.
std::optional<std::string> PathOfFileUri(const QByteArray& uri);

// Why newName cannot replace the item's name: it is empty, holds a "/" or a
// NUL, or an item of that name already exists beside it. Empty when the name
// can be used.
QString RenameRefusal(const std::string& nativePath, const QString& newName);

// Renames the item within its folder. Never replaces an existing item, also
// when one appears between the check and the rename.
TActionResult RenameItem(const std::string& nativePath, const QString& newName,
                         std::string* newPath = nullptr, TFileEventLog* log = nullptr);

// The items of a clipboard: copied or cut, as native paths (bytes).
struct TClipboardItems {
    bool cut = false;
    std::vector<std::string> paths;
};

// Clipboard contents for items, in the forms file managers exchange:
// a URI list, the desktop's "copied files" form (copy or cut) and the paths
// as plain text. The URIs carry every byte of the names percent-encoded;
// the text is for reading. The caller owns the result (the clipboard takes
// it).
QMimeData* ItemsMimeData(const TClipboardItems& items);
// "Copy path": the path as text, and as a URI list that keeps its bytes.
QMimeData* PathMimeData(const std::string& nativePath);

// The local files a clipboard holds; no paths when it holds none.
TClipboardItems ItemsFromMimeData(const QMimeData* data);

// Puts the items, or a path, on the system clipboard.
void PutItemsOnClipboard(const TClipboardItems& items);
void PutPathOnClipboard(const std::string& nativePath);
TClipboardItems ClipboardItems();

// Shared between a paste running on a worker thread and the window that
// shows its progress and may cancel it.
struct TCopyProgress {
    std::atomic<std::int64_t> bytes{0};  // copied so far
    std::atomic<bool> cancel{false};     // set to stop; the copies made go to the trash
};

// Copies or moves the items into the folder. Refused, with nothing changed,
// when an item of the same name exists there, when a folder would go into
// itself, when a cut item lies on another drive (moving it would mean
// deleting the original after the copy), or when a copied item is a fifo,
// socket or device (never opened). A copy that meets such an entry inside a
// folder, fails or is cancelled leaves nothing behind. Touches no clipboard
// or widget, so it may run on a worker thread; after a cut the caller
// empties the clipboard.
TActionResult PasteItems(const TClipboardItems& items, const std::string& folderNativePath,
                         TCopyProgress* progress = nullptr, TFileEventLog* log = nullptr);

}  // namespace cq::desktop
