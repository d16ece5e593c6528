#include "platform/DataFolderLock.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

TDataFolderLock::TDataFolderLock(const std::string& folder, TMode mode) {
    if (folder.empty())
        return;
    fd_ = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0)
        return;
    const int operation = mode == TMode::Exclusive ? LOCK_EX : LOCK_SH;
    int result;
    do {
        result = flock(fd_, operation);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        close(fd_);
        fd_ = -1;
    }
}

TDataFolderLock::~TDataFolderLock() {
    if (fd_ >= 0)
        close(fd_);
}
