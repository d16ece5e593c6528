#include "platform/DiskKind.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <fstream>

namespace {

std::string ReadLine(const std::string& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

bool Exists(const std::string& path) {
    return access(path.c_str(), F_OK) == 0;
}

// The last name of where a link points, or "" when it is no link.
std::string LinkTargetName(const std::string& link) {
    char buf[4096];
    const ssize_t n = readlink(link.c_str(), buf, sizeof buf - 1);
    if (n <= 0)
        return {};
    const std::string target(buf, static_cast<size_t>(n));
    return target.substr(target.find_last_of('/') + 1);
}

// Paravirtual block drivers report "rotational" by default, whatever
// storage the host has behind them, so their flag tells nothing.
bool IsParavirtual(const std::string& disk) {
    const std::string driver = LinkTargetName(disk + "/device/driver");
    return driver == "virtio_blk" || driver == "vbd" || driver == "xen_blkfront";
}

}  // namespace

TDiskKind DiskKindOfDevice(dev_t device, const std::string& sysRoot) {
    // /sys/dev/block/M:m is the device itself; a partition's queue is its
    // disk's, one folder up.
    std::string disk = sysRoot + "/dev/block/" + std::to_string(major(device)) + ":" +
                       std::to_string(minor(device));
    if (!Exists(disk))
        return TDiskKind::Unknown;
    if (Exists(disk + "/partition"))
        disk += "/..";
    const std::string flag = ReadLine(disk + "/queue/rotational");
    if (flag == "0")
        return TDiskKind::Solid;
    if (flag != "1")
        return TDiskKind::Unknown;
    return IsParavirtual(disk) ? TDiskKind::Virtual : TDiskKind::Rotational;
}

TDiskKind DiskKindOf(const std::string& nativeFolder) {
    struct stat st;
    if (stat(nativeFolder.c_str(), &st) != 0)
        return TDiskKind::Unknown;
    return DiskKindOfDevice(st.st_dev);
}
