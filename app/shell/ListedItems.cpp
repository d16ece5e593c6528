#include "app/shell/ListedItems.h"

#include "platform/DriveLetter.h"
#include "views/tree/ShellFolder.h"
#include "views/tree/ShellListModel.h"

bool SameListedPath(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    const bool drive = a.size() >= 2 && a[1] == ':' && b[1] == ':';
    if (drive && UpperDriveLetter(a[0]) != UpperDriveLetter(b[0]))
        return false;
    const size_t from = drive ? 1 : 0;
    return a.substr(from) == b.substr(from);
}

int IndexOfListedItem(const TShellListModel& bar, std::string_view path) {
    for (int i = 0; i < bar.Count(); ++i) {
        if (SameListedPath(bar.Item(i).PathName(), path))
            return i;
    }
    return -1;
}

const TShellFolder* PathToTShellFolder(const TShellListModel& bar, std::string_view path) {
    const int index = IndexOfListedItem(bar, path);
    return index < 0 ? nullptr : &bar.Item(index);
}

bool LinkToFolder(const TShellListModel& bar, std::string_view path) {
    const TShellFolder* item = PathToTShellFolder(bar, path);
    return item && item->Kind() == TShellFolder::TKind::FolderLink;
}
