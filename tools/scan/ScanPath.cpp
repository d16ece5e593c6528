#include "tools/scan/ScanPath.h"

#include "platform/DriveForm.h"
#include "platform/DriveTable.h"

std::optional<std::string> NativeArgument(const std::string& path, std::string& error) {
    const char letter = DriveLetterOf(path);
    if (!letter)
        return path;
    if (TDriveTable::Current()->Find(letter) == nullptr) {
        error = "there is no drive " + std::string(1, letter) + ":" +
                (path.size() > 3 ? " (for " + path + ")" : "");
        return std::nullopt;
    }
    const auto native = DriveFormToNative(path);
    if (!native)
        error = path + ": not a path on drive " + std::string(1, letter) + ":";
    return native;
}

std::string PathInMessage(const std::string& path) {
    return DriveLetterOf(path) && path.size() == 2 ? path + "\\" : path;
}
