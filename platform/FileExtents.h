#pragma once
// Where a file's data lies on its device, from the FIEMAP ioctl. Two files
// whose extents are the very same physical ranges share their data (a
// reflink copy on btrfs or XFS): the "shared" flag of an extent alone does
// not say with whom (a snapshot sets it too), so the ranges are compared.
#include <cstdint>
#include <string>
#include <vector>

struct TFileExtent {
    std::uint64_t Logical = 0;
    std::uint64_t Physical = 0;
    std::uint64_t Length = 0;
    bool operator==(const TFileExtent& o) const {
        return Logical == o.Logical && Physical == o.Physical && Length == o.Length;
    }
};

// Every extent of the open file fd. False when the file system does not
// map extents, or when any extent has no settled place of its own (data
// not yet written out, inline in the metadata, encoded, or of unknown
// place): such a file is never taken as sharing its data.
bool ReadFileExtents(int fd, std::vector<TFileExtent>& extents);

// The physical place of the file's first byte, for reading files in the
// order they lie on the disk; 0 when unknown.
std::uint64_t FirstPhysicalOffset(int fd);

// Whether the file system holding nativePath can let two files share data
// extents (btrfs, XFS, bcachefs, OCFS2); on others no two files do, and
// their extents need not be read.
bool MayShareExtents(const std::string& nativePath);
