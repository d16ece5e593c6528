#include "platform/FileExtents.h"

#include <linux/fiemap.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/vfs.h>

#include <algorithm>
#include <vector>

namespace {

constexpr unsigned kBatch = 256;

// A struct fiemap followed by room for count extents (the kernel's struct
// ends in a flexible array), aligned for its 64-bit fields.
class TFiemapBuffer {
  public:
    explicit TFiemapBuffer(unsigned count)
        : words_((sizeof(fiemap) + count * sizeof(fiemap_extent)) / 8 + 1), count_(count) {}
    fiemap* Start(std::uint64_t start) {
        std::fill(words_.begin(), words_.end(), 0);
        fiemap* map = reinterpret_cast<fiemap*>(words_.data());
        map->fm_start = start;
        map->fm_length = FIEMAP_MAX_OFFSET - start;
        map->fm_extent_count = count_;
        return map;
    }

  private:
    std::vector<std::uint64_t> words_;
    unsigned count_;
};

// Extents whose physical place says nothing reliable about sharing.
constexpr std::uint32_t kUnsettled = FIEMAP_EXTENT_UNKNOWN | FIEMAP_EXTENT_DELALLOC |
                                     FIEMAP_EXTENT_ENCODED | FIEMAP_EXTENT_DATA_INLINE |
                                     FIEMAP_EXTENT_DATA_TAIL | FIEMAP_EXTENT_NOT_ALIGNED;

}  // namespace

bool ReadFileExtents(int fd, std::vector<TFileExtent>& extents) {
    extents.clear();
    TFiemapBuffer buffer(kBatch);
    std::uint64_t start = 0;
    for (;;) {
        fiemap* map = buffer.Start(start);
        if (::ioctl(fd, FS_IOC_FIEMAP, map) != 0)
            return false;
        const unsigned count = map->fm_mapped_extents;
        if (count == 0)
            return !extents.empty();
        for (unsigned i = 0; i < count; ++i) {
            const fiemap_extent& e = map->fm_extents[i];
            if (e.fe_flags & kUnsettled)
                return false;
            extents.push_back({e.fe_logical, e.fe_physical, e.fe_length});
            if (e.fe_flags & FIEMAP_EXTENT_LAST)
                return true;
            start = e.fe_logical + e.fe_length;
        }
    }
}

std::uint64_t FirstPhysicalOffset(int fd) {
    TFiemapBuffer buffer(1);
    fiemap* map = buffer.Start(0);
    if (::ioctl(fd, FS_IOC_FIEMAP, map) != 0 || map->fm_mapped_extents == 0)
        return 0;
    return map->fm_extents[0].fe_physical;
}

bool MayShareExtents(const std::string& nativePath) {
    // The magic numbers of the file systems that clone extents.
    constexpr long kBtrfs = 0x9123683E, kXfs = 0x58465342, kBcachefs = 0xCA451A4E,
                   kOcfs2 = 0x7461636F;
    struct statfs fs {};
    if (::statfs(nativePath.c_str(), &fs) != 0)
        return true;  // unknown: look at the extents
    const long type = long(fs.f_type);
    return type == kBtrfs || type == kXfs || type == kBcachefs || type == kOcfs2;
}
