#include <gtest/gtest.h>

#include <map>

#include "platform/DriveTable.h"
#include "platform/MountTable.h"

namespace {

// The devices of the fake machine: sda is a fixed disk, sdb a USB stick,
// loop0 a snap (read-only loop), loop1 a writable image, dm-0 an LVM or
// LUKS volume, zram0 swap in RAM.
TSourceDevice FakeSource(const std::string& source) {
    static const std::map<std::string, TSourceDevice> kDevices = {
        {"/dev/sda1", {true, 0x801, false, false, false}},
        {"/dev/sda2", {true, 0x802, false, false, false}},
        {"/dev/sda3", {true, 0x803, false, false, false}},
        {"/dev/sda4", {true, 0x804, false, false, false}},
        {"/dev/sda5", {true, 0x805, false, false, false}},
        {"/dev/nvme0n1p2", {true, 0x10302, false, false, false}},
        {"/dev/sdb", {true, 0x810, true, false, false}},
        {"/dev/loop0", {true, 0x700, false, true, false}},
        {"/dev/loop1", {true, 0x701, false, false, false}},
        {"/dev/mapper/vg-data", {true, 0xfd00, false, false, false}},
        {"/dev/zram0", {true, 0xfe00, false, false, true}},
    };
    const auto it = kDevices.find(source);
    return it == kDevices.end() ? TSourceDevice() : it->second;
}

// Read-only btrfs subvolumes, known by their root in the file system.
bool FakeSnapshot(const TMount& m) {
    return m.Root.find("/snap") != std::string::npos;
}

TDriveTable Table(const std::string& info) {
    return TDriveTable::FromMounts(TMountTable::FromMountInfo(info, FakeSource, FakeSnapshot));
}

std::vector<std::string> MountPoints(const TDriveTable& t) {
    std::vector<std::string> points;
    for (const TDrive& d : t.Drives())
        points.push_back(std::string(1, d.Letter) + " " + d.MountPoint);
    return points;
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
    "31 22 8:5 / /mnt/dvd rw - iso9660 /dev/sda5 ro\n"
    "32 22 7:0 / /snap/core/1 ro - squashfs /dev/loop0 ro\n"
    "33 22 7:1 / /mnt/image rw - ext4 /dev/loop1 rw\n"
    "34 22 253:0 / /data rw - ext4 /dev/mapper/vg-data rw\n"
    "35 22 0:60 / /mnt/sshfs rw - fuse.sshfs u@h:/ rw\n"
    "36 22 0:61 / /var/lib/docker/overlay2/x/merged rw - overlay overlay rw\n"
    "37 22 254:0 / /mnt/zram rw - ext4 /dev/zram0 rw\n";

// A btrfs desktop: the root file system's subvolumes mounted at /, /home
// and /.snapshots, a snapshot mounted elsewhere, a second btrfs disk, and a
// ZFS pool with two datasets.
const char* kBtrfsInfo =
    "40 1 0:30 /@ / rw - btrfs /dev/nvme0n1p2 rw,subvol=/@\n"
    "41 40 0:31 /@home /home rw - btrfs /dev/nvme0n1p2 rw,subvol=/@home\n"
    "42 40 0:32 /@snapshots /.snapshots rw - btrfs /dev/nvme0n1p2 rw\n"
    "43 40 0:33 /@home/u/music /srv/music rw - btrfs /dev/nvme0n1p2 rw\n"
    "44 40 0:34 / /mnt/backup rw - btrfs /dev/sda1 rw,subvol=/\n"
    "45 44 0:35 /snap-1 /mnt/backup/last rw - btrfs /dev/sda1 rw\n"
    "46 40 0:36 / /tank rw - zfs tank rw\n"
    "47 46 0:37 / /tank/media rw - zfs tank/media rw\n"
    "48 40 0:38 /@var /var rw - btrfs /dev/nvme0n1p2 rw\n"
    "49 40 0:30 /@/usr /mnt/usr-bind rw - btrfs /dev/nvme0n1p2 rw\n";

}  // namespace

TEST(DriveTable, FixedDrivesTakeLettersInMountPointOrder) {
    const TDriveTable t = Table(kMountInfo);
    // Not drives: proc, tmpfs, the stick, the bind mount of /home's file
    // system, nfs, the optical disc, the snap, sshfs, overlay, zram. A
    // writable loop image and an LVM volume are fixed disks.
    EXPECT_EQ(MountPoints(t), (std::vector<std::string>{"C /", "D /data", "E /home", "F /mnt/image",
                                                        "G /mnt/my disk", "H /srv/data"}));
    EXPECT_EQ(t.DisplayName('e'), "/home (E:)");
    EXPECT_EQ(t.DisplayName('C'), "/ (C:)");
    EXPECT_EQ(t.DisplayName('Z'), "");
}

TEST(DriveTable, OneDrivePerFileSystemWhateverItsSubvolumes) {
    const TDriveTable t = Table(kBtrfsInfo);
    // /home, /.snapshots, /var and the bind mounts are the root file system;
    // the second btrfs disk and the ZFS pool are drives of their own.
    EXPECT_EQ(MountPoints(t), (std::vector<std::string>{"C /", "D /mnt/backup", "E /tank"}));
    // The walk of C: covers /home and /var, so their paths are on C:.
    ASSERT_NE(t.DriveOf("/home/u/a"), nullptr);
    EXPECT_EQ(t.DriveOf("/home/u/a")->Letter, 'C');
    EXPECT_EQ(t.DriveOf("/var/log")->Letter, 'C');
    EXPECT_EQ(t.DriveOf("/tank/media/x")->Letter, 'E');
    // Snapshots and second mounts of covered folders are on no drive.
    EXPECT_EQ(t.DriveOf("/.snapshots/1"), nullptr);
    EXPECT_EQ(t.DriveOf("/srv/music/a"), nullptr);
    EXPECT_EQ(t.DriveOf("/mnt/usr-bind/bin"), nullptr);
    EXPECT_EQ(t.DriveOf("/mnt/backup/last/x"), nullptr);
}

TEST(MountTable, WalkEntersSubvolumesOnceAndNoSnapshot) {
    const TMountTable m = TMountTable::FromMountInfo(kBtrfsInfo, FakeSource, FakeSnapshot);
    EXPECT_EQ(m.EnteredBelow("/"), (std::set<int>{41, 48}));
    // From a folder inside /home, the music mount shows a folder outside
    // the walk, so it is entered; /home itself is the walk's own mount.
    EXPECT_EQ(m.EnteredBelow("/home/u/docs"), (std::set<int>{}));
    EXPECT_EQ(m.EnteredBelow("/srv"), (std::set<int>{43}));
    // The ZFS dataset of the same pool is entered; the btrfs snapshot not.
    EXPECT_EQ(m.EnteredBelow("/tank"), (std::set<int>{47}));
    EXPECT_EQ(m.EnteredBelow("/mnt/backup"), (std::set<int>{}));
}

TEST(MountTable, WalkNeverEntersAMountShowingAFolderItCovers) {
    // The top level of the file system mounted inside its own subvolume
    // would show every byte of "/" a second time.
    const TMountTable m = TMountTable::FromMountInfo(
        "1 0 0:30 /@ / rw - btrfs /dev/sda1 rw\n"
        "2 1 0:31 / /mnt/top rw - btrfs /dev/sda1 rw\n"
        "3 1 0:32 /@home /home rw - btrfs /dev/sda1 rw\n"
        "4 1 0:32 /@home /home2 rw - btrfs /dev/sda1 rw\n"
        "5 3 0:33 / /home/u/ext rw - ext4 /dev/sda2 rw\n"
        "6 5 0:32 /@home/x /home/u/ext/again rw - btrfs /dev/sda1 rw\n",
        FakeSource, FakeSnapshot);
    // /home is the first of the two mounts of @home; nothing is reached
    // through the ext4 mount, which the walk does not enter.
    EXPECT_EQ(m.EnteredBelow("/"), (std::set<int>{3}));
}

TEST(MountTable, FolderBoundOntoItselfIsEnteredOnceAndStaysOnItsDrive) {
    // /srv/box bound onto itself hides the folder below it; /mnt/box2 is a
    // second view of the same folder and /opt/x a bind of another folder.
    const char* info =
        "1 0 0:30 /@ / rw - btrfs /dev/sda1 rw\n"
        "2 1 0:30 /@/srv/box /srv/box rw - btrfs /dev/sda1 rw\n"
        "3 1 0:30 /@/srv/box /mnt/box2 rw - btrfs /dev/sda1 rw\n"
        "4 1 0:30 /@/var /opt/x rw - btrfs /dev/sda1 rw\n"
        "5 1 0:40 / /data rw - ext4 /dev/sda2 rw\n"
        "6 5 0:40 /in /data/in rw - ext4 /dev/sda2 rw\n"
        "7 5 0:40 /in /data/other rw - ext4 /dev/sda2 rw\n";
    const TMountTable m = TMountTable::FromMountInfo(info, FakeSource, FakeSnapshot);
    EXPECT_EQ(m.EnteredBelow("/"), (std::set<int>{2}));
    EXPECT_EQ(m.EnteredBelow("/data"), (std::set<int>{6}));
    EXPECT_EQ(m.EnteredBelow("/srv"), (std::set<int>{2}));
    const TDriveTable t = TDriveTable::FromMounts(m);
    ASSERT_NE(t.DriveOf("/srv/box/a"), nullptr);
    EXPECT_EQ(t.DriveOf("/srv/box/a")->Letter, 'C');
    ASSERT_NE(t.DriveOf("/data/in/a"), nullptr);
    EXPECT_EQ(t.DriveOf("/data/in/a")->Letter, 'D');
    for (const char* none : {"/mnt/box2/a", "/opt/x/a", "/data/other/a"})
        EXPECT_EQ(t.DriveOf(none), nullptr) << none;
}

TEST(DriveTable, RootIsDriveCWhateverItsType) {
    const TDriveTable t =
        Table("1 0 0:99 / / rw - overlay overlay rw\n2 1 0:5 / /dev rw - devtmpfs d rw\n");
    EXPECT_EQ(MountPoints(t), (std::vector<std::string>{"C /"}));
    EXPECT_EQ(t.DriveOf("/dev/null"), nullptr);
}

TEST(DriveTable, HiddenMountIsIgnored) {
    const TDriveTable t = Table(
        "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
        "2 1 8:2 / /mnt/a rw - ext4 /dev/sda2 rw\n"
        "3 2 0:40 / /mnt/a rw - tmpfs tmpfs rw\n");
    EXPECT_EQ(MountPoints(t), (std::vector<std::string>{"C /"}));
    EXPECT_EQ(t.DriveOf("/mnt/a/x"), nullptr);
}

TEST(DriveTable, LettersStopAtZ) {
    // Thirty disks of one kind, each its own file system.
    std::string info = "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n";
    for (int i = 0; i < 30; ++i) {
        char line[128];
        std::snprintf(line, sizeof line, "%d 1 0:%d / /m%02d rw - zfs pool%02d rw\n", i + 2,
                      100 + i, i, i);
        info += line;
    }
    const TDriveTable t = Table(info);
    ASSERT_EQ(t.Drives().size(), 24u);  // C..Z
    EXPECT_EQ(t.Drives().back().Letter, 'Z');
    EXPECT_EQ(t.Drives().back().MountPoint, "/m22");
    EXPECT_EQ(t.DriveOf("/m29/x"), nullptr);
}

TEST(DriveTable, DriveOfUsesLongestMountPrefix) {
    const TDriveTable t = Table(kMountInfo);
    ASSERT_NE(t.DriveOf("/home/u/x"), nullptr);
    EXPECT_EQ(t.DriveOf("/home/u/x")->Letter, 'E');
    EXPECT_EQ(t.DriveOf("/home")->Letter, 'E');
    // A name that merely starts like a mount point is not below it.
    EXPECT_EQ(t.DriveOf("/homework")->Letter, 'C');
    // Below a mount that is no drive: no drive at all.
    EXPECT_EQ(t.DriveOf("/home/u/tmp/a"), nullptr);
    EXPECT_EQ(t.DriveOf("/proc/1"), nullptr);
    EXPECT_EQ(t.DriveOf("/srv/bind/a"), nullptr);
    EXPECT_EQ(t.DriveOf("/snap/core/1/bin"), nullptr);
    EXPECT_EQ(t.DriveOf("relative"), nullptr);
    EXPECT_EQ(t.Find('g')->MountPoint, "/mnt/my disk");
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
        // A refresh reads the system only for the system's own table.
        TDriveTable::Refresh();
        EXPECT_TRUE(FixedDrive("T:"));
    }
    EXPECT_EQ(TDriveTable::Current(), before);
    EXPECT_TRUE(FixedDrive("C:"));
    TDriveTable::Refresh();
    EXPECT_NE(TDriveTable::Current(), before);
    EXPECT_TRUE(FixedDrive("C:"));
}

TEST(DriveTable, SystemTableHasRootAsC) {
    const TDriveTable t = TDriveTable::FromSystem();
    ASSERT_FALSE(t.Drives().empty());
    EXPECT_EQ(t.Drives()[0].Letter, 'C');
    EXPECT_EQ(t.Drives()[0].MountPoint, "/");
}
