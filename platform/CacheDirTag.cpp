#include "platform/CacheDirTag.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <vector>

bool HasCacheDirTag(int folderFd, std::string_view name, std::string_view signature) {
    const std::string tag = std::string(name) + "/CACHEDIR.TAG";
    const int fd = openat(folderFd < 0 ? AT_FDCWD : folderFd, tag.c_str(),
                          O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return false;
    std::vector<char> head(signature.size());
    std::size_t got = 0;
    while (got < head.size()) {
        const ssize_t n = read(fd, head.data() + got, head.size() - got);
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    close(fd);
    return got == head.size() && std::memcmp(head.data(), signature.data(), got) == 0;
}
