#include "platform/DriveForm.h"

#include <vector>

#include "platform/DriveLetter.h"
#include "platform/DriveTable.h"

namespace {

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Splits a native absolute path into names, dropping empty and "." names.
// False for a relative path or a ".." (which would need the file system to
// resolve correctly).
bool NativeNames(std::string_view path, std::vector<std::string_view>& names) {
    if (path.empty() || path[0] != '/')
        return false;
    size_t i = 0;
    while (i < path.size()) {
        while (i < path.size() && path[i] == '/')
            ++i;
        size_t j = i;
        while (j < path.size() && path[j] != '/')
            ++j;
        std::string_view name = path.substr(i, j - i);
        if (name == "..")
            return false;
        if (!name.empty() && name != ".")
            names.push_back(name);
        i = j;
    }
    return true;
}

}  // namespace

std::string EscapeName(std::string_view rawName) {
    std::string out;
    out.reserve(rawName.size());
    for (char c : rawName) {
        switch (c) {
            case '\\':
                out += "%5C";
                break;
            case '\r':
                out += "%0D";
                break;
            case '\n':
                out += "%0A";
                break;
            case '%':
                out += "%25";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string UnescapeName(std::string_view escapedName) {
    std::string out;
    out.reserve(escapedName.size());
    for (size_t i = 0; i < escapedName.size(); ++i) {
        char c = escapedName[i];
        if (c == '%' && i + 2 < escapedName.size()) {
            const int hi = HexDigitValue(escapedName[i + 1]);
            const int lo = HexDigitValue(escapedName[i + 2]);
            const int v = hi < 0 || lo < 0 ? -1 : hi * 16 + lo;
            if (v == '\\' || v == '\r' || v == '\n' || v == '%') {
                out += static_cast<char>(v);
                i += 2;
                continue;
            }
        }
        out += c;
    }
    return out;
}

std::optional<std::string> NativeToDriveForm(std::string_view nativePath) {
    return NativeToDriveForm(nativePath, *TDriveTable::Current());
}

std::optional<std::string> NativeToDriveForm(std::string_view nativePath,
                                             const TDriveTable& table) {
    std::vector<std::string_view> names;
    if (!NativeNames(nativePath, names))
        return std::nullopt;
    std::string clean;
    for (std::string_view n : names) {
        clean += '/';
        clean += n;
    }
    if (clean.empty())
        clean = "/";
    const TDrive* drive = table.DriveOf(clean);
    if (!drive)
        return std::nullopt;
    std::vector<std::string_view> mountNames;
    NativeNames(drive->MountPoint, mountNames);
    std::string out{drive->Letter, ':'};
    for (size_t i = mountNames.size(); i < names.size(); ++i) {
        out += '\\';
        out += EscapeName(names[i]);
    }
    return out;
}

std::optional<std::string> DriveFormToNative(std::string_view driveForm) {
    return DriveFormToNative(driveForm, *TDriveTable::Current());
}

std::optional<std::string> DriveFormToNative(std::string_view driveForm, const TDriveTable& table) {
    const char letter = DriveLetterOf(driveForm);
    const TDrive* drive = letter ? table.Find(letter) : nullptr;
    if (!drive)
        return std::nullopt;
    std::string_view rest = driveForm.substr(2);
    if (!rest.empty())
        rest.remove_prefix(1);  // the backslash after "X:"
    if (!rest.empty() && rest.back() == '\\')
        rest.remove_suffix(1);
    std::string native = drive->MountPoint;
    size_t i = 0;
    while (!rest.empty() && i <= rest.size()) {
        size_t j = rest.find('\\', i);
        if (j == std::string_view::npos)
            j = rest.size();
        const std::string name = UnescapeName(rest.substr(i, j - i));
        if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos ||
            name.find('\0') != std::string::npos)
            return std::nullopt;
        if (native.back() != '/')
            native += '/';
        native += name;
        i = j + 1;
    }
    return native;
}

char DriveLetterOf(std::string_view driveForm) {
    if (driveForm.size() < 2 || !IsLetter(driveForm[0]) || driveForm[1] != ':')
        return 0;
    if (driveForm.size() > 2 && driveForm[2] != '\\')
        return 0;
    return UpperDriveLetter(driveForm[0]);
}
