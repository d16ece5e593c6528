#include "platform/desktop/ShellOpen.h"

#include <QDesktopServices>
#include <utility>

#include "platform/desktop/ItemActions.h"

namespace cq::desktop {
namespace {

ShellOpenHook& Hook() {
    static ShellOpenHook hook;
    return hook;
}

// Schemes that are addresses rather than file names. Anything else with a
// colon (a file called "a:b") stays a path.
bool IsAddress(const QString& text) {
    static const char* const kSchemes[] = {"http:", "https:", "mailto:", "ftp:", "file:"};
    for (const char* scheme : kSchemes) {
        if (text.startsWith(QLatin1String(scheme), Qt::CaseInsensitive)) {
            return true;
        }
    }
    return false;
}

void OpenUrl(const QUrl& url) {
    if (Hook()) {
        Hook()(url);
        return;
    }
    QDesktopServices::openUrl(url);
}

}  // namespace

QUrl ShellOpenUrl(const QString& pathOrAddress) {
    if (IsAddress(pathOrAddress)) {
        return QUrl(pathOrAddress, QUrl::TolerantMode);
    }
    return QUrl::fromLocalFile(pathOrAddress);
}

QUrl NativeFileUrl(const std::string& nativePath) {
    return QUrl::fromEncoded(QByteArray::fromStdString("file://" + PercentEncodePath(nativePath)),
                             QUrl::StrictMode);
}

void ShellOpenNative(const std::string& nativePath) {
    if (!nativePath.empty())
        OpenUrl(NativeFileUrl(nativePath));
}

void ShellOpen(const QString& pathOrAddress) {
    if (pathOrAddress.isEmpty()) {
        return;
    }
    OpenUrl(ShellOpenUrl(pathOrAddress));
}

ShellOpenHook SetShellOpenHook(ShellOpenHook hook) {
    return std::exchange(Hook(), std::move(hook));
}

}  // namespace cq::desktop
