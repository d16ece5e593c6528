#pragma once

#include <QString>
#include <QUrl>
#include <functional>
#include <string>

namespace cq::desktop {

// The shell's "open" without an owner window: a web or mail address goes to
// the desktop's handler for its scheme, anything else is taken as a local
// file path and opened with the desktop's default application. The outcome
// is not examined; a target that cannot be opened simply does nothing.
void ShellOpen(const QString& pathOrAddress);

// Why a target could not be opened, told later from the event loop.
using ShellOpenFailure = std::function<void(const QString& why)>;

// Opens a local file by its path's bytes (a name need not be valid UTF-8:
// the address carries each byte percent-encoded). With onFailure, the
// desktop's opener runs as a child whose outcome is watched, so that a file
// for which no program is set up is told about instead of doing nothing.
void ShellOpenNative(const std::string& nativePath, ShellOpenFailure onFailure = {});

// The opener program used when the outcome is watched ("xdg-open"); tests
// name another. Returns the previous one.
QString SetOpenerProgram(const QString& program);
// The address ShellOpenNative hands to the desktop.
QUrl NativeFileUrl(const std::string& nativePath);

// The address ShellOpen hands to the desktop for a given target.
QUrl ShellOpenUrl(const QString& pathOrAddress);

// Replaces the desktop call (tests install a recorder). An empty function
// restores the real desktop call. Returns the previous hook.
using ShellOpenHook = std::function<void(const QUrl&)>;
ShellOpenHook SetShellOpenHook(ShellOpenHook hook);

}  // namespace cq::desktop
