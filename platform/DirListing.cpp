#include "platform/DirListing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/AsciiLower.h"
#include "platform/DriveForm.h"
#include "platform/OpenFolder.h"
#include "platform/ParallelBlocks.h"

namespace {

struct LinuxDirent64 {
    ino64_t d_ino;
    off64_t d_off;
    unsigned short d_reclen;
    unsigned char d_type;
    char d_name[1];
};

constexpr unsigned kStatxMask = STATX_TYPE | STATX_MODE | STATX_NLINK | STATX_UID | STATX_GID |
                                STATX_MTIME | STATX_INO | STATX_SIZE | STATX_BLOCKS | STATX_MNT_ID;
constexpr int kStatxFlags = AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT;
constexpr size_t kListingBufferSize = 32 * 1024;

void Describe(const struct statx& st, std::uint64_t folderDevice, std::uint64_t folderMount,
              bool haveFolderMount, std::string_view name, TDirEntry& e) {
    const unsigned type = st.stx_mode & S_IFMT;
    e.Attr = NameAttributes(name);
    e.IsLink = type == S_IFLNK;
    e.OtherMount = false;
    e.Size = static_cast<std::int64_t>(st.stx_size);
    e.StatSize = e.Size;
    e.DiskBytes = (st.stx_mask & STATX_BLOCKS) ? static_cast<std::int64_t>(st.stx_blocks) * 512 : 0;
    if (type == S_IFDIR) {
        e.Attr |= faDirectory;
        e.Size = 0;
        const std::uint64_t dev = makedev(st.stx_dev_major, st.stx_dev_minor);
        const bool mountRoot = (st.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) &&
                               (st.stx_attributes & STATX_ATTR_MOUNT_ROOT);
        const bool otherId =
            haveFolderMount && (st.stx_mask & STATX_MNT_ID) && st.stx_mnt_id != folderMount;
        e.OtherMount = mountRoot || dev != folderDevice || otherId;
    } else if (type != S_IFREG && type != S_IFLNK) {
        e.Attr |= faSysFile;
    }
    if (st.stx_attributes & STATX_ATTR_COMPRESSED)
        e.Attr |= faCompressed;
    e.LastWriteSeconds = st.stx_mtime.tv_sec;
    e.LastWriteNanos = st.stx_mtime.tv_nsec;
    e.Device = makedev(st.stx_dev_major, st.stx_dev_minor);
    e.Inode = st.stx_ino;
    e.Links = st.stx_nlink;
    e.MountId = (st.stx_mask & STATX_MNT_ID) ? st.stx_mnt_id : 0;
}

// Read-only is a property of the entry, the same whoever looks: no write
// bit for anyone, or immutable. (Asking whether the running user may write
// would mark nearly every file of other users, and nothing for root.)
bool ReadOnly(const struct statx& st) {
    return (st.stx_mode & 0222) == 0 || (st.stx_attributes & STATX_ATTR_IMMUTABLE);
}

// Listing buffers are kept per thread for reuse: a walk opens a listing per
// folder, and clearing a fresh buffer each time would cost more than the
// listing.
std::vector<std::unique_ptr<char[]>>& Buffers() {
    thread_local std::vector<std::unique_ptr<char[]>> buffers;
    return buffers;
}

std::unique_ptr<char[]> AcquireBuffer() {
    auto& buffers = Buffers();
    if (buffers.empty())
        return std::make_unique<char[]>(kListingBufferSize);
    auto b = std::move(buffers.back());
    buffers.pop_back();
    return b;
}

// Keeps a buffer for the thread's next listing. When the pool cannot grow
// (memory running out) the buffer is freed instead: this runs in a
// destructor, where an exception would end the program.
void ReturnBuffer(std::unique_ptr<char[]> buffer) noexcept {
    try {
        Buffers().push_back(std::move(buffer));
    } catch (...) {
    }
}

}  // namespace

std::uint32_t NameAttributes(std::string_view name) {
    std::uint32_t attr = 0;
    if (!name.empty() && name[0] == '.')
        attr |= faHidden;
    // The last bytes, lower-cased as one word and right-aligned, are enough
    // for every temporary ending; this runs for every entry of a walk.
    // Padding zeros never match (names hold no zero byte).
    constexpr auto word = [](const char* text, int n) {
        std::uint64_t w = 0;
        for (int i = 0; i < n; ++i)
            w |= std::uint64_t{static_cast<unsigned char>(text[i])} << (8 * i);
        return w;
    };
    const std::uint64_t tail = LowerTail8(name);
    const std::uint64_t last4 = tail >> 32, last5 = tail >> 24;
    if ((tail >> 56) == '~' || last4 == word(".tmp", 4) || last5 == word(".temp", 5) ||
        last4 == word(".swp", 4) || last5 == word(".part", 5))
        attr |= faTemporary;
    return attr;
}

TDirListing::TDirListing(const std::string& nativeFolder, unsigned options)
    : TDirListing(AT_FDCWD, nativeFolder, options) {}

TDirListing::TDirListing(int parentFd, const std::string& name, unsigned options)
    : wantReadOnly_(!(options & kNoReadOnly)),
      lazyFolders_((options & kLazyFolders) && (options & kNoReadOnly)) {
    int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
    if (!(options & kFollowLink))
        flags |= O_NOFOLLOW;
    fd_ = OpenFolderPath(parentFd, name.c_str(), flags);
    if (fd_ < 0)
        return;
    struct statx self;
    if (statx(fd_, "", AT_EMPTY_PATH, STATX_MNT_ID | STATX_INO, &self) == 0) {
        device_ = makedev(self.stx_dev_major, self.stx_dev_minor);
        mountId_ = self.stx_mnt_id;
        haveMountId_ = self.stx_mask & STATX_MNT_ID;
    }
    buffer_ = AcquireBuffer();
}

TDirListing::~TDirListing() {
    if (fd_ >= 0)
        ::close(fd_);
    if (buffer_)
        ReturnBuffer(std::move(buffer_));
}

int TDirListing::ReleaseFd() {
    const int fd = fd_;
    fd_ = -1;
    if (buffer_)
        ReturnBuffer(std::move(buffer_));
    return fd;
}

bool TDirListing::Fill() {
    filled_ = syscall(SYS_getdents64, fd_, buffer_.get(), kListingBufferSize);
    pos_ = 0;
    return filled_ > 0;
}

bool TDirListing::Next(TDirEntry& entry) {
    std::string_view name;
    if (!NextRaw(entry, name))
        return false;
    entry.Name.assign(name.data(), name.size());
    return true;
}

bool TDirListing::NextRaw(TDirEntry& entry, std::string_view& name) {
    if (fd_ < 0)
        return false;
    for (;;) {
        if (pos_ >= filled_ && !Fill())
            return false;
        const auto* d = reinterpret_cast<const LinuxDirent64*>(buffer_.get() + pos_);
        pos_ += d->d_reclen;
        const char* raw = d->d_name;
        if (raw[0] == '.' && (raw[1] == 0 || (raw[1] == '.' && raw[2] == 0)))
            continue;
        name = std::string_view(raw);
        if (Describe(raw, name, d->d_type, entry))
            return true;
    }
}

bool TDirListing::Describe(const char* raw, std::string_view name, unsigned char type,
                           TDirEntry& entry) const {
    if (lazyFolders_ && type == DT_DIR) {
        DescribeFolder(name, entry);
        return true;
    }
    struct statx st;
    if (statx(fd_, raw, kStatxFlags, kStatxMask, &st) != 0)
        return false;  // vanished since the listing: not seen
    DescribeStat(st, name, entry);
    return true;
}

void TDirListing::DescribeFolder(std::string_view name, TDirEntry& entry) const {
    // Known to be a real folder from the listing alone; the caller checks
    // the mount when it opens it.
    entry.Attr = NameAttributes(name) | faDirectory;
    entry.Size = 0;
    entry.IsLink = entry.OtherMount = false;
    entry.LastWriteSeconds = 0;
    entry.LastWriteNanos = 0;
    entry.Device = device_;
    entry.Inode = 0;
    entry.Links = 1;
    entry.MountId = mountId_;
}

bool TDirListing::DescribeNamed(unsigned char type, TDirEntry& entry) const {
    return Describe(entry.Name.c_str(), entry.Name, type, entry);
}

void TDirListing::DescribeStat(const struct statx& st, std::string_view name,
                               TDirEntry& entry) const {
    ::Describe(st, device_, mountId_, haveMountId_, name, entry);
    if (wantReadOnly_ && ReadOnly(st))
        entry.Attr |= faReadOnly;
}

void TDirListing::ReadAll(std::vector<TDirEntry>& entries) {
    const std::size_t first = entries.size();
    std::vector<unsigned char> types;
    while (fd_ >= 0) {
        if (pos_ >= filled_ && !Fill())
            break;
        const auto* d = reinterpret_cast<const LinuxDirent64*>(buffer_.get() + pos_);
        pos_ += d->d_reclen;
        const char* name = d->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        entries.emplace_back().Name.assign(name);
        types.push_back(d->d_type);
    }
    // Whether each entry could still be looked at (char, not bool: the
    // threads write neighbouring elements).
    std::vector<char> seen(types.size());
    ForEachBlock(types.size(), [&](unsigned, std::size_t i) {
        seen[i] = DescribeNamed(types[i], entries[first + i]);
    });
    std::size_t kept = first;
    for (std::size_t i = 0; i < types.size(); ++i) {
        if (!seen[i])
            continue;  // vanished since the listing: not seen
        if (kept != first + i)
            entries[kept] = std::move(entries[first + i]);
        ++kept;
    }
    entries.resize(kept);
}

bool ListFolderNative(const std::string& nativeFolder, std::vector<TDirEntry>& entries) {
    entries.clear();
    TDirListing listing(nativeFolder, TDirListing::kFollowLink);
    if (!listing.IsOpen())
        return false;
    listing.ReadAll(entries);
    return true;
}

bool ListFolder(const std::string& driveFormFolder, std::vector<TDirEntry>& entries) {
    entries.clear();
    const auto native = DriveFormToNative(driveFormFolder);
    return native && ListFolderNative(*native, entries);
}

bool LookupNative(const std::string& nativePath, TDirEntry& entry) {
    struct statx st;
    if (statx(AT_FDCWD, nativePath.c_str(), kStatxFlags, kStatxMask, &st) != 0)
        return false;
    const size_t slash = nativePath.find_last_of('/');
    entry.Name = slash == std::string::npos ? nativePath : nativePath.substr(slash + 1);
    // The entry is compared with its own folder's mount: a mount root shows
    // as another mount, as it would in its parent's listing.
    struct statx parent;
    const std::string folder = slash == 0 ? "/" : nativePath.substr(0, slash);
    std::uint64_t dev = makedev(st.stx_dev_major, st.stx_dev_minor);
    std::uint64_t mnt = st.stx_mnt_id;
    bool haveMnt = false;
    if (slash != std::string::npos &&
        statx(AT_FDCWD, folder.c_str(), 0, STATX_MNT_ID | STATX_INO, &parent) == 0) {
        dev = makedev(parent.stx_dev_major, parent.stx_dev_minor);
        mnt = parent.stx_mnt_id;
        haveMnt = parent.stx_mask & STATX_MNT_ID;
    }
    ::Describe(st, dev, mnt, haveMnt, entry.Name, entry);
    if (ReadOnly(st))
        entry.Attr |= faReadOnly;
    return true;
}
