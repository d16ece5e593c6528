#include "engine/WalkPaths.h"

#include "platform/DriveForm.h"

std::string WalkRootText(const std::string& directory) {
    std::string path = directory;
    if (path.empty() || path.back() != '\\')
        path += '\\';
    path.pop_back();
    return path;
}

std::string WalkNativeRoot(const std::string& directory) {
    const auto native = DriveFormToNative(directory);
    return native ? *native : std::string();
}

std::string WalkChildNative(const std::string& parent, std::string_view escapedName) {
    std::string path = parent;
    if (path.empty() || path.back() != '/')
        path += '/';
    path += UnescapeName(escapedName);
    return path;
}

std::vector<std::string> EscapedNames(const std::vector<std::string>& raw) {
    std::vector<std::string> names;
    names.reserve(raw.size());
    for (const std::string& r : raw)
        names.push_back(EscapeName(r));
    return names;
}
