#pragma once
// The directory listing: what the file system says about the entries of one
// folder, read from getdents64 and statx. A file is never opened and a link
// is never followed: a link is an entry of its own, with the link's size.
#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Attribute bits of a listed entry.
enum : std::uint32_t {
    faReadOnly = 0x01,    // no write permission bit set, or immutable
    faHidden = 0x02,      // the name begins with "."
    faSysFile = 0x04,     // neither a regular file, a folder nor a link
    faVolumeID = 0x08,    // never set
    faDirectory = 0x10,   // a real folder (not a link to one)
    faTemporary = 0x100,  // name ends in "~" or in .tmp .temp .swp .part
    faCompressed = 0x800  // the file system stores it compressed
};

struct TDirEntry {
    std::string Name;            // raw bytes, as the file system reports them
    std::int64_t Size = 0;       // logical size; 0 for a folder
    std::int64_t StatSize = 0;   // the size the file system reports, also for a folder
    std::int64_t DiskBytes = 0;  // bytes allocated on the disk (blocks of 512)
    // The last write: seconds since 1970-01-01 UTC and nanoseconds within
    // that second. The seconds take any value a file system holds (ext4 and
    // XFS reach past 2400, btrfs the whole 64-bit range), which nanoseconds
    // in one 64-bit number could not carry beyond 2262.
    std::int64_t LastWriteSeconds = 0;
    std::uint32_t LastWriteNanos = 0;
    std::uint32_t Attr = 0;   // fa... bits
    bool IsLink = false;      // a symbolic link (never followed)
    bool OtherMount = false;  // a folder that is the root of another mount
    // An entry of an imported scan that the scan left out: why, as a
    // TExcludedReason (engine/ExcludedReason.h); 0 for every real entry.
    // Beside the flags, in what was padding: a listing holds millions.
    std::uint8_t Excluded = 0;
    std::uint64_t Device = 0;  // for telling hard links apart
    std::uint64_t Inode = 0;
    std::uint32_t Links = 1;    // hard-link count
    std::uint64_t MountId = 0;  // the mount the entry is on; 0 when unknown
};

// Reads one folder entry by entry:
//     TDirListing l(path); TDirEntry e; while (l.Next(e)) ...
// "." and ".." are skipped. Reusing one TDirEntry avoids allocations.
class TDirListing {
  public:
    enum Options : unsigned {
        kNoReadOnly = 1,  // skip the read-only test (the bit is never set)
        kFollowLink = 2,  // the folder itself may be reached through a link
        // With kNoReadOnly: subfolders the listing marks as such are not
        // looked at (no time, no mount test); a walk that opens them checks
        // Device()/MountId() of their own listing instead.
        kLazyFolders = 4,
    };
    // A native path of any length (a path too long for one open is opened
    // in pieces).
    explicit TDirListing(const std::string& nativeFolder, unsigned options = 0);
    // The folder Name inside the open folder ParentFd (one name, no path):
    // a walk opens each folder from its parent without resolving the whole
    // path again.
    TDirListing(int parentFd, const std::string& name, unsigned options = 0);
    ~TDirListing();
    TDirListing(const TDirListing&) = delete;
    TDirListing& operator=(const TDirListing&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    // The open folder, valid while the listing lives.
    int Fd() const { return fd_; }
    // Hands the open folder to the caller (who closes it) and ends the
    // listing; the folder's subfolders can then still be opened from it.
    int ReleaseFd();
    // The device and mount id of the folder itself (mount id 0 when the
    // kernel does not report it).
    std::uint64_t Device() const { return device_; }
    std::uint64_t MountId() const { return haveMountId_ ? mountId_ : 0; }
    // The next entry; false at the end or when the folder could not be read.
    // An entry that vanishes between the listing and its statx is left out.
    bool Next(TDirEntry& entry);
    // Next without copying the name: Entry's Name is left as it was, and
    // Name views the listing's own bytes until the next call (a walk that
    // keeps few names saves a copy per entry).
    bool NextRaw(TDirEntry& entry, std::string_view& name);
    // Every entry left, in the order Next would give them. The names are
    // read first and then looked at, a large folder's on several threads
    // (a folder of a hundred thousand files is otherwise a hundred
    // thousand lookups one after the other).
    void ReadAll(std::vector<TDirEntry>& entries);

  private:
    bool Fill();
    // Raw is Name's bytes, ending in a zero.
    bool Describe(const char* raw, std::string_view name, unsigned char type,
                  TDirEntry& entry) const;
    // Describe for an entry whose Name is already set.
    bool DescribeNamed(unsigned char type, TDirEntry& entry) const;
    void DescribeFolder(std::string_view name, TDirEntry& entry) const;
    void DescribeStat(const struct statx& st, std::string_view name, TDirEntry& entry) const;

    int fd_ = -1;
    bool wantReadOnly_;
    bool lazyFolders_ = false;
    std::uint64_t device_ = 0;
    std::uint64_t mountId_ = 0;
    bool haveMountId_ = false;
    std::unique_ptr<char[]> buffer_;  // getdents64 records, left uninitialised
    long filled_ = 0;
    long pos_ = 0;
};

// All entries of a native folder; false when it cannot be opened.
bool ListFolderNative(const std::string& nativeFolder, std::vector<TDirEntry>& entries);
// All entries of a drive-form folder ("X:\" or "X:\a\b"); names stay raw.
bool ListFolder(const std::string& driveFormFolder, std::vector<TDirEntry>& entries);
// One entry of a native path, with the very fields its folder's listing
// gives it (links never followed); false when it cannot be read.
bool LookupNative(const std::string& nativePath, TDirEntry& entry);

// The attribute bits the listing gives a name and statx fields; exposed so
// that a single-entry lookup describes an entry exactly as a listing does.
std::uint32_t NameAttributes(std::string_view name);
