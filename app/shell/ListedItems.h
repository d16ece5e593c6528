#pragma once
// Finding an item of the current folder's listing by its drive-form path.
// File names are case-sensitive here: "Data" and "data" are two items and a
// lookup of one never finds the other; only the drive letter compares
// without case.
#include <string_view>

class TShellFolder;
class TShellListModel;

// True when both drive-form paths name the same entry.
bool SameListedPath(std::string_view a, std::string_view b);

// The listed item with that path (the first, in listing order); nullptr
// when the listing does not hold it, so that no menu is built for a row or
// slice that is older than the listing.
const TShellFolder* PathToTShellFolder(const TShellListModel& bar, std::string_view path);

// Its position in the listing, or -1.
int IndexOfListedItem(const TShellListModel& bar, std::string_view path);

// True when the listed item is a link that leads to a folder: it is entered
// like a folder, as the folder tree shows it, not opened like a file.
bool LinkToFolder(const TShellListModel& bar, std::string_view path);
