#pragma once
// One regular file opened for reading its bytes, as the duplicate search
// reads them: never following a link, without touching the file's access
// time where the kernel lets us, and with the identity it had when opened
// (device, inode, size, last write and last status change), so that a
// caller can tell whether it is still the file that was listed or hashed.
#include <cstddef>
#include <cstdint>
#include <string>

struct TFileIdentity {
    std::uint64_t Device = 0;
    std::uint64_t Inode = 0;
    std::int64_t Size = 0;
    std::int64_t WriteNanos = 0;   // last write, nanoseconds since 1970
    std::int64_t ChangeNanos = 0;  // last status change (a rename or a chmod too)
    std::uint32_t Links = 0;

    // The same file with the same bytes as far as the file system tells:
    // same inode, size and last write.
    bool SameContent(const TFileIdentity& o) const {
        return Device == o.Device && Inode == o.Inode && Size == o.Size &&
               WriteNanos == o.WriteNanos;
    }
};

class TFileContent {
  public:
    // Opens nativePath; IsOpen() false when it is not a regular file or
    // cannot be opened (the reason in Error()).
    explicit TFileContent(const std::string& nativePath);
    ~TFileContent();
    TFileContent(const TFileContent&) = delete;
    TFileContent& operator=(const TFileContent&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    int Fd() const { return fd_; }
    const std::string& Error() const { return error_; }
    // As the file was when opened.
    const TFileIdentity& Identity() const { return identity_; }
    // The identity now (after reading, to see whether it changed meanwhile);
    // false when it cannot be read.
    bool IdentityNow(TFileIdentity& now) const;
    // Up to size bytes from offset; the count read, or -1 on an error. Reads
    // again after a short read, so fewer bytes mean the end of the file.
    std::int64_t ReadAt(std::int64_t offset, void* buffer, std::size_t size);
    // Tells the kernel the file is read once from start to end (read ahead
    // far, drop the pages behind).
    void AdviseStreaming();

  private:
    int fd_ = -1;
    TFileIdentity identity_;
    std::string error_;
};

// The identity of a path without opening it (a link is not followed).
bool IdentityOfPath(const std::string& nativePath, TFileIdentity& identity);
// The identity of an open file (one being written too).
bool IdentityOfFd(int fd, TFileIdentity& identity);
