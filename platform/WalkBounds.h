#pragma once
// Which folders a walk enters. A walk stays on the file system it starts on
// and counts each byte once: it enters a folder of its own mount, a nested
// subvolume that is not a read-only snapshot, and the mounts of further
// subvolumes or datasets of the same file system that show folders it does
// not reach otherwise; never another file system, a snapshot, or a second
// mount of something it already covers.
#include <cstdint>
#include <map>
#include <string>

struct TDirEntry;

class TWalkBounds {
  public:
    // The walk of NativeRoot, whose own listing reported RootDevice and
    // RootMountId (0 where the kernel gives no mount id). Reads the mount
    // table as it is now.
    TWalkBounds(const std::string& nativeRoot, std::uint64_t rootDevice, std::uint64_t rootMountId);

    // A folder the walk has opened (DirFd) with its device and mount id.
    bool Enters(std::uint64_t device, std::uint64_t mountId, int dirFd) const;
    // A folder entry of the open folder ParentFd, as its listing described
    // it; opened only to tell a nested snapshot.
    bool EntersEntry(int parentFd, const TDirEntry& entry) const;

  private:
    std::uint64_t rootDevice_;
    std::uint64_t rootMount_;
    std::map<std::uint64_t, std::uint64_t> mountDevice_;  // entered mount id -> its device
};
