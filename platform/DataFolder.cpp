#include "platform/DataFolder.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

#include "platform/AtomicFile.h"

namespace {

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return home;
    }
    const passwd* entry = getpwuid(getuid());
    return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "";
}

// XDG rules: an unset, empty or relative XDG_DATA_HOME means ~/.local/share.
std::string DataHome() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg != nullptr && xdg[0] == '/') {
        return xdg;
    }
    std::string home = HomeFolder();
    return home.empty() ? "" : home + "/.local/share";
}

bool IsFolder(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// mkdir -p with 0700 for every folder it has to create: the folder lists the
// names of every folder of a drive, so no one else may look into it.
bool MakeFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        std::string prefix = path.substr(0, slash);
        if (mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    return IsFolder(path);
}

}  // namespace

std::string DataFolder(std::string* problem) {
    auto fail = [problem](const std::string& why) {
        if (problem != nullptr) {
            *problem = why;
        }
        return std::string();
    };
    std::string base = DataHome();
    if (base.empty()) {
        return fail("there is no home folder to keep the results in");
    }
    std::string folder = base + "/cobaltquarry";
    if (!MakeFolders(base) || (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)) {
        return fail("the data folder " + folder + " cannot be made: " + std::strerror(errno));
    }
    // A link (even a dangling one) is resolved; only its target is used.
    std::unique_ptr<char, decltype(&std::free)> real(realpath(folder.c_str(), nullptr), &std::free);
    struct stat info;
    if (!real || stat(real.get(), &info) != 0) {
        return fail("the data folder " + folder + " cannot be reached: " + std::strerror(errno));
    }
    if (!S_ISDIR(info.st_mode)) {
        return fail("the data folder " + folder + " is not a folder");
    }
    if (info.st_uid != geteuid()) {
        return fail("the data folder " + folder + " belongs to another user");
    }
    if ((info.st_mode & 077) != 0 && chmod(real.get(), info.st_mode & 0700) != 0) {
        return fail("the data folder " + folder +
                    " cannot be made private: " + std::strerror(errno));
    }
    if (problem != nullptr) {
        problem->clear();
    }
    return std::string(real.get()) + "/";
}

bool DataFileExists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::size_t DataFileSize(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)
               ? static_cast<std::size_t>(info.st_size)
               : 0;
}

bool ReadDataFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    bytes.reserve(DataFileSize(path));
    const bool ok = ReadDataFileChunks(path, [&bytes](std::string_view piece) { bytes += piece; });
    if (!ok) {
        bytes.clear();
    }
    return ok;
}

namespace {

// Reads path to its end. room(got) gives where the bytes after the first
// got go and how many may come at once; came(at, got, n) is told of each
// read of n bytes. False when it cannot be opened or a read fails.
bool ReadToEnd(const std::string& path,
               const std::function<std::pair<char*, std::size_t>(std::size_t)>& room,
               const std::function<void(const char*, std::size_t, std::size_t)>& came) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    std::size_t got = 0;
    bool ok = true;
    for (;;) {
        const auto [at, most] = room(got);
        const ssize_t n = read(fd, at, most);
        if (n > 0) {
            came(at, got, static_cast<std::size_t>(n));
            got += static_cast<std::size_t>(n);
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            ok = false;
            break;
        }
    }
    close(fd);
    return ok;
}

}  // namespace

bool ReadDataFileInto(const std::string& path, const std::function<char*(std::size_t)>& resize,
                      const std::function<void(std::size_t, std::size_t)>& filled) {
    constexpr std::size_t kPiece = 256 << 10;
    struct stat info;
    std::size_t size = stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)
                           ? static_cast<std::size_t>(info.st_size) + 1
                           : 0;
    std::size_t total = 0;
    char* buffer = nullptr;
    const bool ok = ReadToEnd(
        path,
        [&](std::size_t got) {
            if (buffer == nullptr || got == size) {
                // First sized from the file, then doubled if it grew since.
                size = buffer == nullptr ? std::max<std::size_t>(size, 4096) : 2 * size;
                buffer = resize(size);
            }
            return std::make_pair(buffer + got, std::min(size - got, kPiece));
        },
        [&](const char*, std::size_t got, std::size_t n) {
            filled(got, got + n);
            total = got + n;
        });
    resize(ok ? total : 0);
    return ok;
}

bool ReadDataFileChunks(const std::string& path,
                        const std::function<void(std::string_view)>& take) {
    constexpr std::size_t kChunk = 1 << 20;
    std::unique_ptr<char[]> buffer;
    return ReadToEnd(
        path,
        [&](std::size_t) {
            if (!buffer) {
                buffer = std::make_unique<char[]>(kChunk);
            }
            return std::make_pair(buffer.get(), kChunk);
        },
        [&](const char* at, std::size_t, std::size_t n) { take(std::string_view(at, n)); });
}

bool RemoveDataFiles(const std::string& folder,
                     const std::function<bool(std::string_view)>& matches) {
    DIR* listing = opendir(folder.c_str());
    if (listing == nullptr) {
        return false;
    }
    bool ok = true;
    while (const dirent* entry = readdir(listing)) {
        if (matches(entry->d_name) && unlinkat(dirfd(listing), entry->d_name, 0) != 0 &&
            errno != ENOENT) {
            ok = false;
        }
    }
    closedir(listing);
    return ok;
}

bool KeepDataFileAs(const std::string& from, const std::string& to) {
    if (unlink(to.c_str()) != 0 && errno != ENOENT) {
        return false;
    }
    if (link(from.c_str(), to.c_str()) == 0) {
        return true;
    }
    // Some file systems (FAT, a few FUSE ones) have no hard links.
    std::string bytes;
    return ReadDataFile(from, bytes) && WriteFileAtomically(to, bytes);
}

void SyncDataFolder(const std::string& folder) {
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}
