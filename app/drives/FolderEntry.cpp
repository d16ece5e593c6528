#include "app/drives/FolderEntry.h"

#include "platform/DriveForm.h"
#include "platform/FolderLink.h"

TFolderEntry FolderToEnter(const std::string& path, const std::string& currentFolder) {
    const TFolderLink link = ResolveFolderLink(path);
    if (link.Place != TFolderLink::TPlace::OnDrive)
        return {path, false};
    return {link.Target, DriveLetterOf(link.Target) != DriveLetterOf(currentFolder)};
}
