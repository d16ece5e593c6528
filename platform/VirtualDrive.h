#pragma once
// A drive whose folders exist only in memory, such as a scan imported from
// another machine: lookups and listings of its drive-form paths are answered
// by it instead of by the file system, so every view and lookup of the
// program browses it as it would a disk. Nothing on it can be opened or
// changed: it lies on no file system here.
#include <string>
#include <string_view>
#include <vector>

#include "platform/DirListing.h"

class TVirtualDrive {
  public:
    virtual ~TVirtualDrive() = default;
    // The upper-case letter it answers for.
    virtual char Letter() const = 0;
    // The entry at a drive-form path ("X:\a\b"; "X:", "X:\" the root, its
    // name left empty); false when there is none.
    virtual bool Lookup(const std::string& driveForm, TDirEntry& entry) const = 0;
    // The entries of the folder at a drive-form path; false when it is none.
    virtual bool List(const std::string& driveForm, std::vector<TDirEntry>& entries) const = 0;
};

// The installed drive that answers for a drive-form path, or nullptr.
const TVirtualDrive* VirtualDriveFor(std::string_view driveForm);

// Installs a drive for the lifetime of the object (one at a time).
class TScopedVirtualDrive {
  public:
    explicit TScopedVirtualDrive(const TVirtualDrive& drive);
    ~TScopedVirtualDrive();
    TScopedVirtualDrive(const TScopedVirtualDrive&) = delete;
    TScopedVirtualDrive& operator=(const TScopedVirtualDrive&) = delete;

  private:
    const TVirtualDrive* previous_;
};
