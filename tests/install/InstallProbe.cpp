// Loaded into the installed program with LD_PRELOAD, so that the program
// under test is the installed one, unchanged. Once the program's window is
// up, it triggers the menu item named by CQ_PROBE_ACTION (a "?" item asking
// for a help topic), waits for the help window, and writes what that window
// shows, with the help files the process actually uses, to CQ_PROBE_OUT:
//   page=<scheme:/path of the page on show>
//   plugin=<path of the loaded help engine plugin>
//   helpfile=<path of an open .chm file>
// It then ends the process (status 0), or with status 3 when no help window
// showed a page within CQ_PROBE_TICKS polls (a bound for a hung run only).
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextBrowser>
#include <QTextStream>
#include <QTimer>
#include <QWidget>
#include <cstdlib>

namespace {

constexpr int kPollMs = 50;

// The path of the loaded help engine plugin, from the process's mappings.
QString LoadedPlugin() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly)) {
        return {};
    }
    for (const QByteArray& line : maps.readAll().split('\n')) {
        const int slash = line.indexOf('/');
        if (slash >= 0 && line.endsWith("/libcq_hhctrl.so")) {
            return QString::fromLocal8Bit(line.mid(slash));
        }
    }
    return {};
}

// The path of an open help file, from the process's file descriptors.
QString OpenHelpFile() {
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QFileInfo& fd :
         fds.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        const QString target = fd.symLinkTarget();
        if (target.endsWith(QLatin1String(".chm"), Qt::CaseInsensitive)) {
            return target;
        }
    }
    return {};
}

QTextBrowser* ShownHelpPage() {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->objectName() == QLatin1String("HtmlHelpWindow") && top->isVisible()) {
            auto* page = top->findChild<QTextBrowser*>(QStringLiteral("HelpPage"));
            if (page != nullptr && !page->source().isEmpty()) {
                return page;
            }
        }
    }
    return nullptr;
}

QAction* RequestedAction() {
    const QString name = qEnvironmentVariable("CQ_PROBE_ACTION");
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->inherits("QMainWindow") && top->isVisible()) {
            if (auto* action = top->findChild<QAction*>(name)) {
                return action;
            }
        }
    }
    return nullptr;
}

[[noreturn]] void Finish(const QString& report, int status) {
    QFile out(qEnvironmentVariable("CQ_PROBE_OUT"));
    if (out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        out.write(report.toLocal8Bit());
        out.close();
    }
    // Ends here: the report is all the test needs, and a question box the
    // program may be showing has no one to answer it.
    ::_exit(status);
}

void Poll(int ticksLeft, bool asked) {
    if (QTextBrowser* page = ShownHelpPage()) {
        Finish(QStringLiteral("page=%1\nplugin=%2\nhelpfile=%3\n")
                   .arg(page->source().toString(), LoadedPlugin(), OpenHelpFile()),
               0);
    }
    if (ticksLeft <= 0) {
        Finish(QStringLiteral("timeout asked=%1\nplugin=%2\n").arg(asked).arg(LoadedPlugin()), 3);
    }
    // The item is triggered once, as soon as the window holding it is shown.
    if (!asked) {
        if (QAction* action = RequestedAction()) {
            action->trigger();
            asked = true;
        }
    }
    QTimer::singleShot(kPollMs, [ticksLeft, asked] { Poll(ticksLeft - 1, asked); });
}

void StartProbe() {
    const int ticks = qEnvironmentVariableIntValue("CQ_PROBE_TICKS");
    QTimer::singleShot(0, [ticks] { Poll(ticks > 0 ? ticks : 1200, false); });
}

}  // namespace

// Runs as the application object is created, before the program's main()
// continues.
Q_COREAPP_STARTUP_FUNCTION(StartProbe)
