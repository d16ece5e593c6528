#include "platform/AtomicFile.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>
#include <vector>

namespace {

constexpr std::size_t kBufferSize = 1 << 20;

std::string FolderOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The temporary file is hidden and carries the target's name, so a leftover
// after a crash is recognisable and never taken for a result file.
std::string TempPattern(const std::string& path) {
    std::size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return folder + "." + name + ".XXXXXX";
}

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t done = write(fd, data, size);
        if (done < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += done;
        size -= static_cast<std::size_t>(done);
    }
    return true;
}

// Makes the rename itself durable; a folder that cannot be synced costs
// nothing but that guarantee.
void SyncFolder(const std::string& folder) {
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

}  // namespace

TAtomicFile::TAtomicFile(std::string path) : path_(std::move(path)) {}

TAtomicFile::~TAtomicFile() {
    if (!committed_) {
        Discard();
    }
}

bool TAtomicFile::Open() {
    if (fd_ >= 0 || !tempPath_.empty() || path_.empty()) {
        return false;
    }
    std::string pattern = TempPattern(path_);
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    fd_ = mkostemp(name.data(), O_CLOEXEC);
    if (fd_ < 0) {
        failed_ = true;
        return false;
    }
    tempPath_ = name.data();
    fchmod(fd_, 0600);
    buffer_.reserve(kBufferSize);
    return true;
}

bool TAtomicFile::Write(std::string_view bytes) {
    if (failed_ || fd_ < 0) {
        return false;
    }
    if (buffer_.size() + bytes.size() > kBufferSize && !Flush()) {
        return false;
    }
    if (bytes.size() >= kBufferSize) {
        failed_ = !WriteAll(fd_, bytes.data(), bytes.size());
        return !failed_;
    }
    buffer_.append(bytes);
    return true;
}

bool TAtomicFile::Flush() {
    if (!WriteAll(fd_, buffer_.data(), buffer_.size())) {
        failed_ = true;
    }
    buffer_.clear();
    return !failed_;
}

bool TAtomicFile::Finish() {
    if (failed_ || fd_ < 0) {
        return false;
    }
    bool ok = Flush() && fsync(fd_) == 0;
    ok = close(fd_) == 0 && ok;
    fd_ = -1;
    failed_ = !ok;
    finished_ = ok;
    return ok;
}

bool TAtomicFile::Commit() {
    if (!finished_ || committed_) {
        return false;
    }
    if (rename(tempPath_.c_str(), path_.c_str()) != 0) {
        return false;
    }
    committed_ = true;
    SyncFolder(FolderOf(path_));
    return true;
}

void TAtomicFile::Discard() {
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
    if (!tempPath_.empty()) {
        unlink(tempPath_.c_str());
    }
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes) {
    TAtomicFile file(path);
    return file.Open() && file.Write(bytes) && file.Finish() && file.Commit();
}
