#include "app/trash/DriveTrash.h"

#include <QFile>
#include <QStorageInfo>

#include "platform/DriveTable.h"

std::vector<cq::desktop::TTrashFolder> DriveTrashFolders(char letter) {
    const auto table = TDriveTable::Current();
    const TDrive* drive = table->Find(letter);
    if (!drive)
        return {};
    const std::string home = cq::desktop::HomeTrashPath();
    const TDrive* homeDrive = home.empty() ? nullptr : table->DriveOf(home);
    return cq::desktop::TrashFoldersOf(drive->MountPoint,
                                       homeDrive && homeDrive->Letter == drive->Letter);
}

long long DriveFreeBytes(char letter) {
    const auto table = TDriveTable::Current();
    const TDrive* drive = table->Find(letter);
    if (!drive)
        return -1;
    const QStorageInfo storage(QFile::decodeName(QByteArray::fromStdString(drive->MountPoint)));
    return storage.isValid() ? storage.bytesAvailable() : -1;
}
