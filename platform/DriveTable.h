#pragma once
// The computer's fixed drives. A drive is a mounted file system with a letter:
// the root file system is always C:, every other file system on a local,
// non-removable disk takes the next letter in byte order of its first mount
// point. The program asks the process-wide current table, re-read from the
// mount table when the drive menu opens and before a scan; tests replace it
// by a table that maps a letter to a temporary folder.
#include <memory>
#include <string>
#include <vector>

class TMountTable;

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

    // The table of this machine, from its mount table.
    static TDriveTable FromSystem();
    // The drives of a mount table: one per file system. A further mount of a
    // drive's file system inside it that a walk enters (another subvolume)
    // belongs to that drive; every other mount is on no drive.
    static TDriveTable FromMounts(const TMountTable& mounts);

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
    // Reads the system's table again (a disk mounted or unmounted since);
    // a table a test installed stays as it is.
    static void Refresh();

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
    bool previousFromSystem_ = false;
};
