#include "platform/desktop/ShellOpen.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
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

QString& Opener() {
    static QString program = QStringLiteral("xdg-open");
    return program;
}

// xdg-open's exit codes: 2 the file is missing, 3 no program for its type
// (or a tool the desktop needs is missing), 4 the program failed.
QString OpenerFailure(int exitCode) {
    switch (exitCode) {
        case 2:
            return QStringLiteral("The file no longer exists.");
        case 3:
            return QStringLiteral("No program is set up to open files of this type.");
        default:
            return QStringLiteral("The desktop could not open it.");
    }
}

void Later(const ShellOpenFailure& onFailure, const QString& why) {
    QTimer::singleShot(0, [onFailure, why] { onFailure(why); });
}

void OpenWatched(const QUrl& url, const ShellOpenFailure& onFailure) {
    const QString program = QStandardPaths::findExecutable(Opener());
    if (program.isEmpty()) {
        // No opener to watch: the desktop services at least say whether
        // they could hand the file on.
        if (!QDesktopServices::openUrl(url))
            Later(onFailure, QStringLiteral("No program is set up to open it."));
        return;
    }
    // Not owned by a window: the opener may outlive the window (some wait
    // for the program they start), and ending it would end that program.
    auto* process = new QProcess;
    QObject::connect(
        process, &QProcess::finished, process,
        [process, onFailure](int exitCode, QProcess::ExitStatus status) {
            if (status != QProcess::NormalExit || exitCode != 0)
                onFailure(OpenerFailure(status == QProcess::NormalExit ? exitCode : -1));
            process->deleteLater();
        });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, onFailure](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return;
                         onFailure(QStringLiteral("The desktop's opener could not be started."));
                         process->deleteLater();
                     });
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->start(program, {QString::fromLatin1(url.toEncoded())});
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

void ShellOpenNative(const std::string& nativePath, ShellOpenFailure onFailure) {
    if (nativePath.empty())
        return;
    if (onFailure && !Hook())
        OpenWatched(NativeFileUrl(nativePath), onFailure);
    else
        OpenUrl(NativeFileUrl(nativePath));
}

QString SetOpenerProgram(const QString& program) {
    return std::exchange(Opener(), program);
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
