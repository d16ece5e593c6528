#include <gtest/gtest.h>

#include "platform/DriveTable.h"

namespace {

// Devices 8:x are fixed disks, 8:16 a removable stick; 0:x are not block
// devices at all.
bool FakeFixed(unsigned major, unsigned minor) {
    return major == 8 && minor != 16;
}

const char* kMountInfo =
    "22 1 8:1 / / rw,relatime - ext4 /dev/sda1 rw\n"
    "23 22 0:21 / /proc rw - proc proc rw\n"
    "24 22 8:3 / /srv/data rw - xfs /dev/sda3 rw\n"
    "25 22 8:2 / /home rw - ext4 /dev/sda2 rw\n"
    "26 25 0:40 / /home/u/tmp rw - tmpfs tmpfs rw\n"
    "27 22 8:16 / /media/stick rw - vfat /dev/sdb rw\n"
    "28 22 8:2 /u /srv/bind rw - ext4 /dev/sda2 rw\n"
    "29 22 0:50 / /net rw - nfs4 server:/ rw\n"
    "30 22 8:4 / /mnt/my\\040disk rw - ext4 /dev/sda4 rw\n"
    "31 22 8:5 / /mnt/dvd rw - iso9660 /dev/sda5 ro\n";

}  // namespace

TEST(DriveTable, FixedDrivesTakeLettersInMountPointOrder) {
    const TDriveTable t = TDriveTable::FromMountInfo(kMountInfo, FakeFixed);
    ASSERT_EQ(t.Drives().size(), 4u);
    EXPECT_EQ(t.Drives()[0].MountPoint, "/");
    EXPECT_EQ(t.Drives()[0].Letter, 'C');
    // /home < /mnt/my disk < /srv/data in byte order; the stick, the bind
    // mount of /home's device, tmpfs, proc, nfs and the optical disc are not
    // fixed drives.
    EXPECT_EQ(t.Drives()[1].MountPoint, "/home");
    EXPECT_EQ(t.Drives()[1].Letter, 'D');
    EXPECT_EQ(t.Drives()[2].MountPoint, "/mnt/my disk");
    EXPECT_EQ(t.Drives()[2].Letter, 'E');
    EXPECT_EQ(t.Drives()[3].MountPoint, "/srv/data");
    EXPECT_EQ(t.Drives()[3].Letter, 'F');
    EXPECT_EQ(t.DisplayName('d'), "/home (D:)");
    EXPECT_EQ(t.DisplayName('C'), "/ (C:)");
    EXPECT_EQ(t.DisplayName('G'), "");
}

TEST(DriveTable, RootIsDriveCWhateverItsType) {
    const TDriveTable t = TDriveTable::FromMountInfo(
        "1 0 0:99 / / rw - overlay overlay rw\n2 1 0:5 / /dev rw - devtmpfs d rw\n", FakeFixed);
    ASSERT_EQ(t.Drives().size(), 1u);
    EXPECT_EQ(t.Drives()[0].Letter, 'C');
    EXPECT_EQ(t.Drives()[0].MountPoint, "/");
}

TEST(DriveTable, LettersStopAtZ) {
    std::string info = "1 0 8:1 / / rw - ext4 a rw\n";
    for (int i = 0; i < 30; ++i) {
        char line[128];
        std::snprintf(line, sizeof line, "%d 1 8:%d / /m%02d rw - ext4 b rw\n", i + 2, 100 + i, i);
        info += line;
    }
    const TDriveTable t = TDriveTable::FromMountInfo(info, FakeFixed);
    ASSERT_EQ(t.Drives().size(), 24u);  // C..Z
    EXPECT_EQ(t.Drives().back().Letter, 'Z');
    EXPECT_EQ(t.Drives().back().MountPoint, "/m22");
}

TEST(DriveTable, DriveOfUsesLongestMountPrefix) {
    const TDriveTable t = TDriveTable::FromMountInfo(kMountInfo, FakeFixed);
    ASSERT_NE(t.DriveOf("/home/u/x"), nullptr);
    EXPECT_EQ(t.DriveOf("/home/u/x")->Letter, 'D');
    EXPECT_EQ(t.DriveOf("/home")->Letter, 'D');
    // A name that merely starts like a mount point is not below it.
    EXPECT_EQ(t.DriveOf("/homework")->Letter, 'C');
    // Below a mount that is no drive: no drive at all.
    EXPECT_EQ(t.DriveOf("/home/u/tmp/a"), nullptr);
    EXPECT_EQ(t.DriveOf("/proc/1"), nullptr);
    EXPECT_EQ(t.DriveOf("relative"), nullptr);
    EXPECT_EQ(t.Find('e')->MountPoint, "/mnt/my disk");
}

TEST(DriveTable, ScopedTableReplacesAndRestores) {
    const auto before = TDriveTable::Current();
    {
        TScopedDriveTable scoped(TDriveTable({{'t', "/tmp/somewhere"}}));
        EXPECT_TRUE(FixedDrive("T:"));
        EXPECT_TRUE(FixedDrive("t:"));
        EXPECT_TRUE(FixedDrive("T:\\"));
        EXPECT_FALSE(FixedDrive("C:"));
        EXPECT_FALSE(FixedDrive("T"));
        EXPECT_FALSE(FixedDrive("T:x"));
        EXPECT_FALSE(FixedDrive("T:\\x"));
        EXPECT_FALSE(FixedDrive(""));
    }
    EXPECT_EQ(TDriveTable::Current(), before);
    EXPECT_TRUE(FixedDrive("C:"));
}

TEST(DriveTable, SystemTableHasRootAsC) {
    const TDriveTable t = TDriveTable::FromSystem();
    ASSERT_FALSE(t.Drives().empty());
    EXPECT_EQ(t.Drives()[0].Letter, 'C');
    EXPECT_EQ(t.Drives()[0].MountPoint, "/");
}
