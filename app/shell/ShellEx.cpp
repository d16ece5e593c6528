#include "app/shell/ShellEx.h"

#include <QFile>

#include "platform/DriveForm.h"
#include "platform/desktop/ShellOpen.h"

std::string ShellTarget(const std::string& target) {
    if (DriveLetterOf(target) != 0) {
        if (const auto native = DriveFormToNative(target))
            return *native;
    }
    return target;
}

void ShellEx(const std::string& target) {
    const std::string resolved = ShellTarget(target);
    // A local path keeps its bytes; only an address is text.
    if (!resolved.empty() && resolved[0] == '/')
        cq::desktop::ShellOpenNative(resolved);
    else
        cq::desktop::ShellOpen(QFile::decodeName(QByteArray::fromStdString(resolved)));
}

void ShellExNoOwner(const std::string& target) {
    ShellEx(target);
}
