#include "platform/desktop/TrashFolders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/DriveForm.h"

namespace cq::desktop {
namespace {

bool RealFolder(const std::string& path, struct stat* st = nullptr) {
    struct stat own;
    struct stat& s = st ? *st : own;
    return ::lstat(path.c_str(), &s) == 0 && S_ISDIR(s.st_mode);
}

std::string Uid() {
    return std::to_string(::getuid());
}

std::string Below(const std::string& top, const std::string& name) {
    return top == "/" ? "/" + name : top + "/" + name;
}

std::string PercentDecode(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int hi = text[i] == '%' && i + 2 < text.size() ? HexDigitValue(text[i + 1]) : -1;
        const int lo = hi >= 0 ? HexDigitValue(text[i + 2]) : -1;
        if (lo >= 0) {
            out += static_cast<char>(hi * 16 + lo);
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

std::string PercentEncodePath(const std::string& nativePath) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : nativePath) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
            c == '-' || c == '.' || c == '_' || c == '~' || c == '/') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

std::string HomeTrashPath() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    if (xdg && *xdg == '/')
        return std::string(xdg) + "/Trash";
    return home && *home ? std::string(home) + "/.local/share/Trash" : std::string();
}

std::string TopTrashPath(const std::string& top) {
    const std::string shared = Below(top, ".Trash");
    struct stat st;
    if (RealFolder(shared, &st) && (st.st_mode & S_ISVTX) != 0) {
        const std::string own = shared + "/" + Uid();
        struct stat mine;
        if (::lstat(own.c_str(), &mine) != 0 || S_ISDIR(mine.st_mode))
            return own;
    }
    return Below(top, ".Trash-" + Uid());
}

std::vector<TTrashFolder> TrashFoldersOf(const std::string& mountPoint, bool homeTrashHere) {
    std::vector<TTrashFolder> folders;
    const std::string home = HomeTrashPath();
    if (homeTrashHere && !home.empty() && RealFolder(home))
        folders.push_back({home, {}});
    struct stat st;
    const std::string shared = Below(mountPoint, ".Trash");
    const std::string own = shared + "/" + Uid();
    if (RealFolder(shared, &st) && (st.st_mode & S_ISVTX) != 0 && RealFolder(own))
        folders.push_back({own, mountPoint});
    const std::string dashed = Below(mountPoint, ".Trash-" + Uid());
    if (RealFolder(dashed) && dashed != home)
        folders.push_back({dashed, mountPoint});
    return folders;
}

std::optional<TTrashInfo> ParseTrashInfo(const std::string& text) {
    std::size_t at = 0;
    bool header = false;
    std::optional<TTrashInfo> info;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!header) {
            if (line.empty())
                continue;
            if (line != "[Trash Info]")
                return std::nullopt;
            header = true;
            info.emplace();
        } else if (line.compare(0, 5, "Path=") == 0) {
            info->Path = PercentDecode(line.substr(5));
        } else if (line.compare(0, 13, "DeletionDate=") == 0) {
            info->DeletionDate = line.substr(13);
        }
    }
    if (!info || info->Path.empty() || info->Path.find('\0') != std::string::npos)
        return std::nullopt;
    return info;
}

std::string TrashInfoText(const std::string& path, std::time_t deleted) {
    std::tm local{};
    ::localtime_r(&deleted, &local);
    char date[32];
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
    return "[Trash Info]\nPath=" + PercentEncodePath(path) + "\nDeletionDate=" + date + "\n";
}

std::string OriginalPathOf(const TTrashFolder& trash, const std::string& infoPath) {
    if (infoPath.front() == '/' || trash.Home())
        return infoPath;
    return Below(trash.Top, infoPath);
}

std::string InfoPathFor(const TTrashFolder& trash, const std::string& nativePath) {
    if (trash.Home())
        return nativePath;
    const std::string prefix = trash.Top == "/" ? "/" : trash.Top + "/";
    if (nativePath.compare(0, prefix.size(), prefix) == 0 && nativePath.size() > prefix.size())
        return nativePath.substr(prefix.size());
    return nativePath;
}

}  // namespace cq::desktop
