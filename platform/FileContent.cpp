#include "platform/FileContent.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

void Fill(const struct stat& st, TFileIdentity& id) {
    id.Device = st.st_dev;
    id.Inode = st.st_ino;
    id.Size = st.st_size;
    id.WriteNanos = std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    id.ChangeNanos = std::int64_t(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    id.Links = static_cast<std::uint32_t>(st.st_nlink);
}

// O_NOATIME is refused (EPERM) on a file the user does not own; such a
// file is read with an ordinary open.
int OpenForReading(const std::string& path) {
    const int flags = O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    int fd = ::open(path.c_str(), flags | O_NOATIME);
    if (fd < 0 && errno == EPERM)
        fd = ::open(path.c_str(), flags);
    return fd;
}

}  // namespace

TFileContent::TFileContent(const std::string& nativePath) {
    // O_NONBLOCK keeps a fifo put in place of a listed file from blocking
    // the open; the type is checked right after.
    const int fd = OpenForReading(nativePath);
    if (fd < 0) {
        error_ = std::strerror(errno);
        return;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error_ = "not a regular file";
        ::close(fd);
        return;
    }
    Fill(st, identity_);
    fd_ = fd;
}

TFileContent::~TFileContent() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool TFileContent::IdentityNow(TFileIdentity& now) const {
    return fd_ >= 0 && IdentityOfFd(fd_, now);
}

std::int64_t TFileContent::ReadAt(std::int64_t offset, void* buffer, std::size_t size) {
    std::size_t done = 0;
    auto* bytes = static_cast<char*>(buffer);
    while (done < size) {
        const ssize_t n = ::pread(fd_, bytes + done, size - done, offset + std::int64_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += std::size_t(n);
    }
    return std::int64_t(done);
}

void TFileContent::AdviseStreaming() {
    ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
}

bool IdentityOfPath(const std::string& nativePath, TFileIdentity& identity) {
    struct stat st {};
    if (::lstat(nativePath.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    Fill(st, identity);
    return true;
}

bool IdentityOfFd(int fd, TFileIdentity& identity) {
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return false;
    Fill(st, identity);
    return true;
}
