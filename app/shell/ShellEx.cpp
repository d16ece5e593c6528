#include "app/shell/ShellEx.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>

#include "platform/DriveForm.h"
#include "platform/NameText.h"
#include "platform/VirtualDrive.h"
#include "platform/desktop/ShellOpen.h"

std::string ShellTarget(const std::string& target) {
    if (DriveLetterOf(target) != 0) {
        if (const auto native = DriveFormToNative(target))
            return *native;
    }
    return target;
}

namespace {

void TellOpenFailure(const std::string& nativePath, const QString& why) {
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Open"),
                                OpenFailureText(nativePath, why), QMessageBox::Ok,
                                QApplication::activeWindow());
    box->setTextFormat(Qt::PlainText);  // a file name is never markup
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

}  // namespace

QString OpenFailureText(const std::string& nativePath, const QString& why) {
    return QStringLiteral("\"%1\" could not be opened. %2").arg(VisibleName(nativePath), why);
}

void ShellEx(const std::string& target) {
    // A file of an imported scan is not on this machine.
    if (VirtualDriveFor(target) != nullptr)
        return;
    const std::string resolved = ShellTarget(target);
    // A local path keeps its bytes; only an address is text.
    if (!resolved.empty() && resolved[0] == '/')
        cq::desktop::ShellOpenNative(
            resolved, [resolved](const QString& why) { TellOpenFailure(resolved, why); });
    else
        cq::desktop::ShellOpen(QFile::decodeName(QByteArray::fromStdString(resolved)));
}

void ShellExNoOwner(const std::string& target) {
    ShellEx(target);
}
