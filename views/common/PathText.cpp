#include "views/common/PathText.h"

#include "platform/DriveLetter.h"
#include "platform/FileInfo.h"

std::string RemoveParentDir(std::string_view path) {
    std::size_t slash = path.rfind('\\');
    std::string name(slash == std::string_view::npos ? path : path.substr(slash + 1));
    if (!name.empty()) {
        name[0] = UpperDriveLetter(name[0]);
    }
    return name;
}

std::string GetParentDir(std::string_view path) {
    const std::string folder(path);
    std::size_t end = folder.rfind('\\');
    if (end == std::string::npos) {
        end = folder.find(':');
    }
    return end == std::string::npos ? "" : folder.substr(0, end);
}

std::int64_t FileSize(std::string_view path) {
    // Names are matched literally: "%", "$", "*" and "?" are ordinary bytes of
    // a name here, and the entry is measured like any other.
    TDirEntry entry;
    return LookupEntry(std::string(path), entry) ? entry.Size : 0;
}
