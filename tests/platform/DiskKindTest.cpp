#include <gtest/gtest.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/DiskKind.h"
#include "tests/platform/TempDir.h"

namespace {

namespace fs = std::filesystem;

// A made-up sysfs: disks under devices/, each reached from dev/block/M:m by
// a relative link as the kernel makes them, with a driver link.
class DiskKindTest : public ::testing::Test {
  protected:
    std::string Sys() const { return dir_ / "sys"; }

    // A whole disk NAME (device M:0) with the given flag and driver, and a
    // partition of it (M:1).
    void AddDisk(const std::string& name, int major, const std::string& flag,
                 const std::string& driver) {
        const std::string disk = Sys() + "/devices/pci0/" + name + "/block/" + name;
        fs::create_directories(disk + "/queue");
        fs::create_directories(disk + "/" + name + "1");
        std::ofstream(disk + "/" + name + "1/partition") << "1\n";
        if (!flag.empty())
            std::ofstream(disk + "/queue/rotational") << flag << "\n";
        fs::create_directories(Sys() + "/bus/drivers/" + driver);
        fs::create_directories(Sys() + "/dev/block");
        fs::create_directory_symlink("../..", disk + "/device");
        fs::create_directory_symlink("../../bus/drivers/" + driver,
                                     Sys() + "/devices/pci0/" + name + "/driver");
        fs::create_directory_symlink("../../devices/pci0/" + name + "/block/" + name,
                                     Sys() + "/dev/block/" + std::to_string(major) + ":0");
        fs::create_directory_symlink(
            "../../devices/pci0/" + name + "/block/" + name + "/" + name + "1",
            Sys() + "/dev/block/" + std::to_string(major) + ":1");
    }
    TDiskKind Kind(int major, int minor) const {
        return DiskKindOfDevice(makedev(major, minor), Sys());
    }

    TTempDir dir_;
};

}  // namespace

TEST_F(DiskKindTest, FlagOfTheDiskOrOfThePartitionsDisk) {
    AddDisk("sda", 8, "1", "sd");
    AddDisk("nvme0n1", 259, "0", "nvme");
    EXPECT_EQ(Kind(8, 0), TDiskKind::Rotational);
    EXPECT_EQ(Kind(8, 1), TDiskKind::Rotational);
    EXPECT_EQ(Kind(259, 0), TDiskKind::Solid);
    EXPECT_EQ(Kind(259, 1), TDiskKind::Solid);
}

TEST_F(DiskKindTest, ParavirtualDiskFlagIsNotTrusted) {
    AddDisk("vda", 254, "1", "virtio_blk");
    AddDisk("xvda", 202, "1", "vbd");
    AddDisk("vdb", 253, "0", "virtio_blk");
    EXPECT_EQ(Kind(254, 1), TDiskKind::Virtual);
    EXPECT_EQ(Kind(202, 0), TDiskKind::Virtual);
    // A virtual disk that says it does not rotate is believed.
    EXPECT_EQ(Kind(253, 0), TDiskKind::Solid);
}

TEST_F(DiskKindTest, NoDeviceOrNoFlagIsUnknown) {
    AddDisk("sdb", 8, "", "sd");
    AddDisk("sdc", 9, "yes", "sd");
    EXPECT_EQ(Kind(8, 0), TDiskKind::Unknown);
    EXPECT_EQ(Kind(9, 0), TDiskKind::Unknown);
    EXPECT_EQ(Kind(0, 42), TDiskKind::Unknown);  // btrfs, tmpfs: no block device
    EXPECT_EQ(DiskKindOf(dir_ / "missing"), TDiskKind::Unknown);
}
