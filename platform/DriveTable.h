#pragma once
// The computer's fixed drives. A drive is a mounted file system with a letter:
// the root file system is always C:, every other local, non-removable,
// block-backed file system takes the next letter in byte order of its mount
// point. Nothing else in the program reads the mount table: it asks the
// process-wide current table, which tests replace by a table that maps a
// letter to a temporary folder.
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct TDrive {
    char Letter = 'C';       // upper case 'A'..'Z'
    std::string MountPoint;  // native absolute path, no trailing '/' (except "/")
};

class TDriveTable {
  public:
    TDriveTable() = default;
    // A table of the given drives; OtherMounts are native mount points that
    // belong to no drive (a path below one of them has no drive form).
    explicit TDriveTable(std::vector<TDrive> drives, std::vector<std::string> otherMounts = {});

    // The table of this machine, built from /proc/self/mountinfo and sysfs.
    static TDriveTable FromSystem();
    // The table described by a mountinfo text. IsFixedDevice(major, minor)
    // tells whether a block device exists and is not removable.
    static TDriveTable FromMountInfo(const std::string& mountInfo,
                                     const std::function<bool(unsigned, unsigned)>& isFixedDevice);

    const std::vector<TDrive>& Drives() const { return drives_; }  // letter order
    const TDrive* Find(char letter) const;                         // either case
    // The drive whose mount point is the longest prefix of the native path;
    // nullptr when that mount belongs to no drive.
    const TDrive* DriveOf(const std::string& nativePath) const;
    // "/home (D:)"; empty for an unknown letter.
    std::string DisplayName(char letter) const;

    // The process-wide table; built from the system on first use.
    static std::shared_ptr<const TDriveTable> Current();
    // Replaces the process-wide table; nullptr goes back to the system's.
    static void SetCurrent(std::shared_ptr<const TDriveTable> table);

  private:
    std::vector<TDrive> drives_;
    std::vector<std::string> otherMounts_;
};

// True exactly for the letter of a fixed drive: "C:", "c:" or "C:\".
bool FixedDrive(const std::string& drive);

// Installs a drive table for the lifetime of the object (tests).
class TScopedDriveTable {
  public:
    explicit TScopedDriveTable(TDriveTable table);
    ~TScopedDriveTable();
    TScopedDriveTable(const TScopedDriveTable&) = delete;
    TScopedDriveTable& operator=(const TScopedDriveTable&) = delete;

  private:
    std::shared_ptr<const TDriveTable> previous_;
};
