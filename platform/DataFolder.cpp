#include "platform/DataFolder.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <time.h>
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

// XDG rules: an unset, empty or relative variable (XDG_DATA_HOME) means the
// folder below the home folder (~/.local/share).
std::string XdgHome(const char* variable, const char* belowHome) {
    const char* xdg = std::getenv(variable);
    if (xdg != nullptr && xdg[0] == '/') {
        return xdg;
    }
    std::string home = HomeFolder();
    return home.empty() ? "" : home + belowHome;
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

// $base/cobaltquarry/, made and checked as DataFolder says; what names the
// folder in messages ("data folder").
std::string OwnFolder(const std::string& base, const std::string& what, const std::string& none,
                      std::string* problem) {
    auto fail = [problem](const std::string& why) {
        if (problem != nullptr) {
            *problem = why;
        }
        return std::string();
    };
    if (base.empty()) {
        return fail(none);
    }
    std::string folder = base + "/cobaltquarry";
    if (!MakeFolders(base) || (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)) {
        return fail("the " + what + " " + folder + " cannot be made: " + std::strerror(errno));
    }
    // A link (even a dangling one) is resolved; only its target is used.
    std::unique_ptr<char, decltype(&std::free)> real(realpath(folder.c_str(), nullptr), &std::free);
    struct stat info;
    if (!real || stat(real.get(), &info) != 0) {
        return fail("the " + what + " " + folder + " cannot be reached: " + std::strerror(errno));
    }
    if (!S_ISDIR(info.st_mode)) {
        return fail("the " + what + " " + folder + " is not a folder");
    }
    if (info.st_uid != geteuid()) {
        return fail("the " + what + " " + folder + " belongs to another user");
    }
    if ((info.st_mode & 077) != 0 && chmod(real.get(), info.st_mode & 0700) != 0) {
        return fail("the " + what + " " + folder +
                    " cannot be made private: " + std::strerror(errno));
    }
    if (problem != nullptr) {
        problem->clear();
    }
    return std::string(real.get()) + "/";
}

}  // namespace

std::string DataFolder(std::string* problem) {
    return OwnFolder(XdgHome("XDG_DATA_HOME", "/.local/share"), "data folder",
                     "there is no home folder to keep the results in", problem);
}

std::string CacheFolder(std::string* problem) {
    return OwnFolder(XdgHome("XDG_CACHE_HOME", "/.cache"), "cache folder",
                     "there is no home folder to keep a cache in", problem);
}

std::string ConfigFolder(std::string* problem) {
    return OwnFolder(XdgHome("XDG_CONFIG_HOME", "/.config"), "settings folder",
                     "there is no home folder to keep settings in", problem);
}

bool DataFileExists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

TDataFileStamp DataFileStampOf(const std::string& path) {
    struct stat info;
    TDataFileStamp stamp;
    if (lstat(path.c_str(), &info) != 0) {
        return stamp;
    }
    stamp.Exists = true;
    stamp.Device = static_cast<std::uint64_t>(info.st_dev);
    stamp.Inode = static_cast<std::uint64_t>(info.st_ino);
    stamp.Size = static_cast<std::uint64_t>(info.st_size);
    stamp.Modified = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 +
                     static_cast<std::int64_t>(info.st_mtim.tv_nsec);
    return stamp;
}

std::int64_t DataFileClock() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME_COARSE, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

std::size_t DataFileSize(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)
               ? static_cast<std::size_t>(info.st_size)
               : 0;
}

bool ReadDataFile(const std::string& path, std::string& bytes, std::uint64_t limit) {
    bytes.clear();
    const bool ok = ReadDataFileChunks(
        path, [&bytes](std::string_view piece) { bytes += piece; }, limit);
    if (!ok) {
        bytes.clear();
    }
    return ok;
}

std::string DataFileProblem(const std::string& path, int error) {
    struct stat info;
    if (lstat(path.c_str(), &info) == 0) {
        if (S_ISLNK(info.st_mode)) {
            return path + ": is a link, which is not followed";
        }
        if (!S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode)) {
            return path + ": is not a regular file";
        }
        if (info.st_uid != geteuid()) {
            return path + ": belongs to another user";
        }
    }
    if (error == EFBIG) {
        return path + ": is larger than it may be";
    }
    return path + ": " + std::strerror(error);
}

namespace {

// Opens path for reading as the reads above require; its size goes to size.
// O_NONBLOCK keeps the open itself from waiting for a FIFO's writer.
int OpenDataFile(const std::string& path, std::uint64_t& size) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        return -1;
    }
    struct stat info;
    int error = 0;
    if (fstat(fd, &info) != 0) {
        error = errno;
    } else if (S_ISDIR(info.st_mode)) {
        error = EISDIR;
    } else if (!S_ISREG(info.st_mode)) {
        error = EINVAL;
    } else if (info.st_uid != geteuid()) {
        error = EACCES;
    }
    if (error != 0) {
        close(fd);
        errno = error;
        return -1;
    }
    size = static_cast<std::uint64_t>(info.st_size);
    return fd;
}

// Reads path to its end, at most limit bytes. room(got) gives where the
// bytes after the first got go and how many may come at once; came(at, got,
// n) is told of each read of n bytes. opened(size) is told the file's size
// first. False, with errno set, when it cannot be opened, a read fails or
// the file has more than limit bytes.
bool ReadToEnd(const std::string& path, std::uint64_t limit,
               const std::function<void(std::uint64_t)>& opened,
               const std::function<std::pair<char*, std::size_t>(std::size_t)>& room,
               const std::function<void(const char*, std::size_t, std::size_t)>& came) {
    std::uint64_t size = 0;
    const int fd = OpenDataFile(path, size);
    if (fd < 0) {
        return false;
    }
    if (limit == kFileSize) {
        limit = size;
    } else if (size > limit) {
        // Larger already: not a byte of it is read (a sparse file of
        // gigabytes put in a small file's place).
        close(fd);
        errno = EFBIG;
        return false;
    }
    opened(size);
    std::size_t got = 0;
    bool ok = true;
    int error = 0;
    for (;;) {
        auto [at, most] = room(got);
        // One byte past the limit tells a longer file from one of the limit.
        most = static_cast<std::size_t>(std::min<std::uint64_t>(most, limit + 1 - got));
        const ssize_t n = read(fd, at, most);
        if (n > 0) {
            if (got + static_cast<std::size_t>(n) > limit) {
                ok = false;
                error = EFBIG;
                break;
            }
            came(at, got, static_cast<std::size_t>(n));
            got += static_cast<std::size_t>(n);
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            ok = false;
            error = errno;
            break;
        }
    }
    close(fd);
    if (!ok) {
        errno = error;
    }
    return ok;
}

}  // namespace

bool ReadDataFileInto(const std::string& path, const std::function<char*(std::size_t)>& resize,
                      const std::function<void(std::size_t, std::size_t)>& filled,
                      std::uint64_t limit) {
    constexpr std::size_t kPiece = 256 << 10;
    std::size_t size = 0;
    std::size_t total = 0;
    char* buffer = nullptr;
    const bool ok = ReadToEnd(
        path, limit,
        [&](std::uint64_t fileSize) {
            size = static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, limit)) + 1;
        },
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
    const int error = errno;
    resize(ok ? total : 0);
    errno = error;
    return ok;
}

bool ReadDataFileChunks(const std::string& path, const std::function<void(std::string_view)>& take,
                        std::uint64_t limit) {
    constexpr std::size_t kChunk = 1 << 20;
    std::unique_ptr<char[]> buffer;
    return ReadToEnd(
        path, limit, [](std::uint64_t) {},
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

namespace {

// A free hidden name beside path in the form of a save's temporary files
// (".CDirs.Ab12Cd"), made by link; false when none could be had.
bool LinkBeside(const std::string& from, const std::string& path, std::string& temporary) {
    static constexpr char kLetters[] =
        "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    const std::size_t slash = path.rfind('/') + 1;
    const std::string stem = path.substr(0, slash) + "." + path.substr(slash) + ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = stem;
        for (int i = 0; i < 6; ++i) {
            temporary += kLetters[static_cast<std::size_t>(random()) % (sizeof kLetters - 1)];
        }
        if (link(from.c_str(), temporary.c_str()) == 0) {
            return true;
        }
        if (errno != EEXIST) {
            return false;
        }
    }
    return false;
}

}  // namespace

bool KeepDataFileAs(const std::string& from, const std::string& to) {
    std::string temporary;
    if (LinkBeside(from, to, temporary)) {
        if (rename(temporary.c_str(), to.c_str()) == 0) {
            return true;
        }
        const int error = errno;
        unlink(temporary.c_str());
        errno = error;
        return false;
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
