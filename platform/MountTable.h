#pragma once
// The mount table of this process, read through libmount, with what the
// program needs to know of each mount: which file system it shows (the
// source device, not the mount's own device number, which btrfs and ZFS
// make up per subvolume or dataset), whether that file system can be a
// fixed drive, and which further mounts a walk from a folder enters.
//
// This is the only code that reads the mount table; the drive table and the
// walk's mount rules are built from it.
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

struct TMount {
    int Id = 0;
    int ParentId = 0;
    std::string Target;        // mount point, native, no trailing '/' (except "/")
    std::string Root;          // the folder of the file system shown here ("/", "/@home")
    std::string Type;          // file-system type
    std::string Source;        // source field: "/dev/sda2", "rpool/home", "tmpfs"
    std::uint64_t Device = 0;  // the mount table's device number (btrfs: one per file system)
    bool Pseudo = false;       // proc, sysfs, tmpfs, overlay ... (libmount's list)
    bool Network = false;
    // Filled from the source device:
    std::string FileSystem;  // one key per file system: equal for its subvolumes
    bool Fixed = false;      // may be a fixed drive
    bool Visible = true;     // not hidden by a later mount on the same point
};

// What the system says about a mount's source.
struct TSourceDevice {
    bool Block = false;          // a block device that exists
    std::uint64_t Device = 0;    // its device number
    bool Removable = false;      // the disk is removable (USB stick, card)
    bool ReadOnlyImage = false;  // a read-only loop device (snap, image file)
    bool Ram = false;            // zram, brd
};

class TMountTable {
  public:
    // Looks a source up ("/dev/sda2"); the system's reads /dev and sysfs.
    using SourceProbe = std::function<TSourceDevice(const std::string& source)>;
    // Whether a mount shows a read-only btrfs subvolume (a snapshot).
    using SnapshotProbe = std::function<bool(const TMount&)>;

    TMountTable() = default;
    static TMountTable FromSystem();
    // The table a mountinfo text describes (tests give their own probes).
    static TMountTable FromMountInfo(const std::string& mountInfo, const SourceProbe& source,
                                     const SnapshotProbe& snapshot);

    const std::vector<TMount>& Mounts() const { return mounts_; }  // target order
    const TMount* ById(int id) const;
    // The visible mount whose target is the longest prefix of the path.
    const TMount* MountOf(const std::string& nativePath) const;
    // The ids of the visible mounts a walk of NativeRoot enters besides the
    // one it starts on: further subvolumes or datasets of the same file
    // system, reachable through entered mounts, neither a snapshot nor
    // showing a folder the walk already covers (each folder once). A mount
    // that shows the very folder it hides (a folder bind-mounted onto
    // itself) is entered: it is the only view of that folder.
    std::set<int> EnteredBelow(const std::string& nativeRoot) const;
    // Whether a mount is a snapshot: a ".snapshots" mount or a read-only
    // btrfs subvolume.
    bool IsSnapshot(const TMount& mount) const;
    // Whether the path lies on a file system that shows the kernel's state
    // rather than stored files (/proc, /sys, /dev ...): never scanned.
    bool OnKernelFileSystem(const std::string& nativePath) const;

    static SourceProbe SystemSourceProbe();
    static SnapshotProbe SystemSnapshotProbe();

  private:
    void Classify(const SourceProbe& source);

    std::vector<TMount> mounts_;
    SnapshotProbe snapshot_;
};

// True when Path is Prefix or lies below it ("/" is a prefix of every
// absolute path).
bool PathUnder(const std::string& path, const std::string& prefix);

// Whether the open folder is a read-only btrfs subvolume.
bool ReadOnlySubvolume(int dirFd);
