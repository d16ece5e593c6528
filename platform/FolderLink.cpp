#include "platform/FolderLink.h"

#include <sys/stat.h>

#include <cstdlib>
#include <memory>
#include <optional>

#include "platform/DriveForm.h"
#include "platform/DriveTable.h"

namespace {

// The path with every link on it resolved; nullopt when that fails (a
// broken link, a loop, no permission).
std::optional<std::string> RealPath(const std::string& native) {
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(native.c_str(), nullptr),
                                                     &std::free);
    if (!real)
        return std::nullopt;
    return std::string(real.get());
}

// A resolved path on a drive whose mount point is itself reached through a
// link (a drive table naming "/data" where /data leads to /srv/data) is
// written below the mount point as the table names it.
std::optional<std::string> DriveFormOfResolved(const std::string& resolved) {
    if (std::optional<std::string> form = NativeToDriveForm(resolved))
        return form;
    for (const TDrive& drive : TDriveTable::Current()->Drives()) {
        const std::optional<std::string> mount = RealPath(drive.MountPoint);
        if (!mount || *mount == drive.MountPoint)
            continue;
        const std::string& m = *mount;
        const bool below =
            resolved == m ||
            (resolved.compare(0, m.size(), m) == 0 &&
             (m == "/" || (resolved.size() > m.size() && resolved[m.size()] == '/')));
        if (below)
            return NativeToDriveForm(drive.MountPoint + "/" + resolved.substr(m.size()));
    }
    return std::nullopt;
}

}  // namespace

TFolderLink ResolveFolderLink(const std::string& driveForm) {
    TFolderLink link;
    const std::optional<std::string> native = DriveFormToNative(driveForm);
    struct stat st {};
    if (!native || native->empty() || (*native)[0] != '/' || ::lstat(native->c_str(), &st) != 0 ||
        !S_ISLNK(st.st_mode))
        return link;
    // realpath of an absolute path resolves a relative target against the
    // link's own folder.
    const std::optional<std::string> resolved = RealPath(*native);
    if (!resolved || ::stat(resolved->c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return link;
    if (std::optional<std::string> form = DriveFormOfResolved(*resolved)) {
        link.Place = TFolderLink::TPlace::OnDrive;
        link.Target = std::move(*form);
    } else {
        link.Place = TFolderLink::TPlace::OffDrive;
    }
    return link;
}
