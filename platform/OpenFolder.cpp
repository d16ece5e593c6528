#include "platform/OpenFolder.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <string>

TOpenFolder::~TOpenFolder() {
    if (fd_ >= 0)
        ::close(fd_);
}

namespace {

// The longest prefix of Path (from Pos) that ends at a slash and fits one
// open, or one whole name when even that does not fit.
size_t PieceEnd(const std::string& path, size_t pos) {
    const size_t limit = pos + PATH_MAX - 1;
    if (path.size() <= limit)
        return path.size();
    const size_t slash = path.rfind('/', limit);
    if (slash != std::string::npos && slash > pos)
        return slash;
    const size_t next = path.find('/', pos + 1);
    return next == std::string::npos ? path.size() : next;
}

}  // namespace

int OpenFolderPath(int dirFd, const char* path, int flags) {
    const int fd = ::openat(dirFd, path, flags);
    if (fd >= 0 || errno != ENAMETOOLONG)
        return fd;
    const std::string whole(path);
    int at = dirFd;
    int owned = -1;
    size_t pos = 0;
    if (!whole.empty() && whole[0] == '/') {
        owned = ::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC);
        at = owned;
        pos = 1;
    }
    for (;;) {
        while (pos < whole.size() && whole[pos] == '/')
            ++pos;
        const size_t end = PieceEnd(whole, pos);
        const std::string piece = whole.substr(pos, end - pos);
        const bool last = whole.find_first_not_of('/', end) == std::string::npos;
        // Links inside the path are followed as a single open would; only
        // the last name is held to the caller's flags.
        const int next = last ? ::openat(at, piece.c_str(), flags)
                              : ::openat(at, piece.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        const int saved = errno;
        if (owned >= 0)
            ::close(owned);
        if (next < 0 || last) {
            errno = saved;
            return next;
        }
        owned = at = next;
        pos = end;
    }
}
