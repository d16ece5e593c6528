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
    cq::desktop::ShellOpen(QFile::decodeName(QByteArray::fromStdString(ShellTarget(target))));
}

void ShellExNoOwner(const std::string& target) {
    ShellEx(target);
}
