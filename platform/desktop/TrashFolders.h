#pragma once
// Where the desktop's trash keeps what was moved there: the user's home
// trash ($XDG_DATA_HOME/Trash) and, on other file systems, a trash at the
// top of the mount (.Trash/UID inside a shared, sticky .Trash folder, else
// .Trash-UID). Each trash holds files/ (the items) and info/ (one
// NAME.trashinfo for each, with the original path and the deletion date).
// An original path is absolute in the home trash and relative to the top
// folder in a top-level trash, so that a disk keeps its trash when it is
// mounted elsewhere. Paths here are native paths (bytes).
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace cq::desktop {

struct TTrashFolder {
    std::string Path;  // holds files/ and info/
    std::string Top;   // the top folder relative paths start at; empty for the home trash

    bool Home() const { return Top.empty(); }
};

// $XDG_DATA_HOME/Trash (by default ~/.local/share/Trash); empty without
// either variable.
std::string HomeTrashPath();

// The user's trash at the top folder of a mount: top/.Trash/UID when
// top/.Trash is a real folder (not a link) with the sticky bit, so that no
// other user can remove or replace the user's folder in it, and UID is not
// a link; else top/.Trash-UID.
std::string TopTrashPath(const std::string& top);

// The trash folders that may hold items of the file system mounted at
// mountPoint and exist as real folders: the home trash when it lies there
// (the caller knows that from the drive table), then top/.Trash/UID (only
// inside a sticky .Trash) and top/.Trash-UID.
std::vector<TTrashFolder> TrashFoldersOf(const std::string& mountPoint, bool homeTrashHere);

// An absolute path as a URI path, as info files and file URIs write it:
// every byte other than an unreserved character or "/" as %XX
// ("/tmp/a b" -> "/tmp/a%20b").
std::string PercentEncodePath(const std::string& nativePath);

// What one info file says. Path is percent-decoded byte by byte.
struct TTrashInfo {
    std::string Path;          // as written: absolute, or relative to the top folder
    std::string DeletionDate;  // YYYY-MM-DDThh:mm:ss, local time
};
// The info file's text; none unless it starts with "[Trash Info]" and has
// a Path key.
std::optional<TTrashInfo> ParseTrashInfo(const std::string& text);
// The text of an info file for path (already relative where it must be).
std::string TrashInfoText(const std::string& path, std::time_t deleted);
// The item's original place: absolute paths as they are, relative ones
// below the trash's top folder.
std::string OriginalPathOf(const TTrashFolder& trash, const std::string& infoPath);
// What the info file of an item at nativePath records in that trash:
// the absolute path in the home trash, the path below the top folder in a
// top-level trash (absolute when the item lies outside it).
std::string InfoPathFor(const TTrashFolder& trash, const std::string& nativePath);

}  // namespace cq::desktop
