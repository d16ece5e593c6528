#pragma once
// What kind of disk holds a folder, as far as the walk's pacing cares: a
// spinning disk answers best when asked for one thing at a time, a
// solid-state or virtual disk when asked for many at once.
#include <sys/types.h>

#include <string>

enum class TDiskKind {
    Unknown,     // no block device behind the folder (or none found)
    Solid,       // the device says it does not rotate
    Rotational,  // the device says it rotates
    Virtual,     // a paravirtual disk: its rotation flag is a driver default
};

// The kind of the disk holding NativeFolder, from the block device's
// queue/rotational flag in sysfs (a partition asks its whole disk).
TDiskKind DiskKindOf(const std::string& nativeFolder);
// The same for a device number, reading sysfs below SysRoot (tests give a
// made-up tree).
TDiskKind DiskKindOfDevice(dev_t device, const std::string& sysRoot = "/sys");
