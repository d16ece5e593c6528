#include "platform/FileReplace.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>

namespace {

constexpr const char kMarker[] = ".cq-replace-";

std::string Folder(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

std::string ReplacedBaseName(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A fresh temporary name beside target (not yet existing when returned;
// the caller's exclusive create or link tells when another took it).
std::string TemporaryBeside(const std::string& target) {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    static const char kDigits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string suffix(6, 'x');
    for (char& c : suffix)
        c = kDigits[random() % (sizeof kDigits - 1)];
    // A name of at most 255 bytes: a long original name is cut short.
    std::string base = ReplacedBaseName(target).substr(0, 200);
    return Folder(target) + "." + base + kMarker + suffix;
}

TReplaceOutcome Failed(const char* what) {
    return {false, std::string(what) + ": " + std::strerror(errno), {}};
}

// Renames temporary over target; removes the temporary when that fails.
TReplaceOutcome Commit(const std::string& temporary, const std::string& target) {
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        TReplaceOutcome out = Failed("cannot replace the file");
        ::unlink(temporary.c_str());
        return out;
    }
    return {true, {}, {}};
}

// The replaced file's mode, owner and times on the clone. The owner can only
// be given by root or when it is the user's own already; other owners are
// left as the clone has them rather than failing the replacement.
bool TakeAttributes(int fd, const struct stat& from) {
    if (::fchown(fd, from.st_uid, from.st_gid) != 0 && errno != EPERM)
        return false;
    if (::fchmod(fd, from.st_mode & 07777) != 0)
        return false;
    const struct timespec times[2] = {from.st_atim, from.st_mtim};
    return ::futimens(fd, times) == 0;
}

}  // namespace

TReplaceOutcome ReplaceByHardLink(const std::string& kept, const std::string& target) {
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string temporary = TemporaryBeside(target);
        if (::link(kept.c_str(), temporary.c_str()) == 0)
            return Commit(temporary, target);
        if (errno != EEXIST)
            return Failed("cannot make the hard link");
    }
    return Failed("cannot make the hard link");
}

TReplaceOutcome ReplaceByClone(const std::string& kept, const std::string& target) {
    struct stat replaced {};
    if (::lstat(target.c_str(), &replaced) != 0)
        return Failed("cannot read the file");
    const int source = ::open(kept.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (source < 0)
        return Failed("cannot open the kept copy");
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temporary = TemporaryBeside(target);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        TReplaceOutcome out = Failed("cannot make the clone");
        ::close(source);
        return out;
    }
    const bool cloned = ::ioctl(fd, FICLONE, source) == 0;
    TReplaceOutcome out = cloned ? TReplaceOutcome{true, {}, {}} : Failed("cannot clone the data");
    if (cloned &&
        (!TakeAttributes(fd, replaced) || ::fsync(fd) != 0 || !IdentityOfFd(fd, out.Made)))
        out = Failed("cannot give the clone the file's attributes");
    ::close(source);
    ::close(fd);
    if (!out.Ok) {
        ::unlink(temporary.c_str());
        return out;
    }
    const TFileIdentity made = out.Made;
    out = Commit(temporary, target);
    if (out.Ok)
        out.Made = made;
    return out;
}

bool IsReplaceTemporary(const std::string& fileName) {
    return fileName.find(kMarker) != std::string::npos;
}
