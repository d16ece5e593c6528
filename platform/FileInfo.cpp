#include "platform/FileInfo.h"

#include "platform/DriveForm.h"
#include "platform/VirtualDrive.h"

bool LookupEntry(const std::string& driveForm, TDirEntry& entry) {
    if (const TVirtualDrive* drive = VirtualDriveFor(driveForm))
        return drive->Lookup(driveForm, entry);
    const auto native = DriveFormToNative(driveForm);
    if (!native || !LookupNative(*native, entry))
        return false;
    // A drive root has no name of its own in the drive form.
    if (driveForm.find('\\') == std::string::npos || driveForm.size() <= 3)
        entry.Name.clear();
    return true;
}

bool FileExists(const std::string& driveForm) {
    TDirEntry e;
    return LookupEntry(driveForm, e) && !(e.Attr & faDirectory);
}

bool FolderExists(const std::string& driveForm) {
    TDirEntry e;
    return LookupEntry(driveForm, e) && (e.Attr & faDirectory);
}
