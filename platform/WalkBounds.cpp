#include "platform/WalkBounds.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "platform/DirListing.h"
#include "platform/MountTable.h"

TWalkBounds::TWalkBounds(const std::string& nativeRoot, std::uint64_t rootDevice,
                         std::uint64_t rootMountId)
    : rootDevice_(rootDevice), rootMount_(rootMountId) {
    if (rootMountId == 0)
        return;
    const TMountTable table = TMountTable::FromSystem();
    mountDevice_[rootMountId] = rootDevice;
    // btrfs numbers each subvolume's files on its own, unlike the mount
    // table, so each mount's device is read off its root folder.
    for (int id : table.EnteredBelow(nativeRoot)) {
        struct statx st;
        if (statx(AT_FDCWD, table.ById(id)->Target.c_str(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
                  STATX_MNT_ID, &st) == 0 &&
            (st.stx_mask & STATX_MNT_ID) && st.stx_mnt_id == static_cast<std::uint64_t>(id))
            mountDevice_[st.stx_mnt_id] = makedev(st.stx_dev_major, st.stx_dev_minor);
    }
}

bool TWalkBounds::Enters(std::uint64_t device, std::uint64_t mountId, int dirFd) const {
    if (rootMount_ == 0 || mountId == 0)
        return device == rootDevice_ && mountId == rootMount_;
    const auto it = mountDevice_.find(mountId);
    if (it == mountDevice_.end())
        return mountId == rootMount_ && device == rootDevice_;
    if (device == it->second || device == rootDevice_)
        return true;
    // Another device inside an entered mount: a nested subvolume, walked
    // unless it is a read-only snapshot of another one.
    return !ReadOnlySubvolume(dirFd);
}

bool TWalkBounds::EntersEntry(int parentFd, const TDirEntry& entry) const {
    if (!entry.OtherMount)
        return true;
    const int fd =
        ::openat(parentFd, entry.Name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool enters = Enters(entry.Device, entry.MountId, fd);
    ::close(fd);
    return enters;
}
