// The desktop program as the system sees its process, on a real X display
// (run under xvfb-run): started once (one execve, as strace counts them),
// under its own name for ps, top, pgrep and the journal, and with exactly
// the environment it was started with, which is also what the programs it
// starts inherit.
#include <gtest/gtest.h>
#include <signal.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

#include "tests/desktop_x11/X11Desktop.h"

// Texts in failure messages as text.
void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

QByteArray ReadProc(qint64 pid, const char* name) {
    QFile file(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The child of strace that runs the program (strace may start short-lived
// children of its own first), or 0 while there is none.
qint64 TracedProgram(qint64 tracer) {
    const QByteArray children =
        ReadProc(tracer, "task/" + QByteArray::number(tracer) + "/children");
    for (const QByteArray& child : children.trimmed().split(' ')) {
        const QString exe = QStringLiteral("/proc/%1/exe").arg(QLatin1String(child));
        if (!child.isEmpty() && QFileInfo(exe).symLinkTarget() == QStringLiteral(CQ_PROGRAM))
            return child.toLongLong();
    }
    return 0;
}

QStringList Sorted(QStringList entries) {
    entries.removeAll(QString());
    std::sort(entries.begin(), entries.end());
    return entries;
}

QStringList PgrepExact(const QString& name) {
    QProcess pgrep;
    pgrep.start(QStringLiteral("pgrep"), {QStringLiteral("-x"), name});
    pgrep.waitForFinished(10000);
    return QString::fromLatin1(pgrep.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

TEST(ProgramProcess, StartsOnceUnderItsOwnNameWithTheEnvironmentItWasGiven) {
    int argc = 1;
    char name[] = "cobaltquarry-process-test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    QTemporaryDir data;
    ASSERT_TRUE(data.isValid());
    TX11Desktop desktop;
    ASSERT_TRUE(desktop.Connected());

    // The user's settings for the C library and the allocator, and a value
    // with blanks and "=", must reach the process as they are.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), data.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("GLIBC_TUNABLES"), QStringLiteral("glibc.malloc.arena_max=2"));
    env.insert(QStringLiteral("CQ_PROCESS_TEST"), QStringLiteral("a b=c"));
    const QString log = data.filePath(QStringLiteral("execve.log"));
    QProcess tracer;
    tracer.setProcessEnvironment(env);
    tracer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tracer.start(QStringLiteral(CQ_STRACE),
                 {QStringLiteral("-f"), QStringLiteral("-qq"), QStringLiteral("-e"),
                  QStringLiteral("trace=execve"), QStringLiteral("-o"), log, QStringLiteral("--"),
                  QStringLiteral(CQ_PROGRAM)});
    ASSERT_TRUE(tracer.waitForStarted());
    qint64 pid = 0;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (pid = TracedProgram(tracer.processId())) != 0; }));
    // With no stored results the first show asks, in a box "?": the program
    // is then through its start.
    EXPECT_TRUE(QTest::qWaitFor([&] { return desktop.Find(pid, "?") != 0; }, 60000));

    EXPECT_EQ(ReadProc(pid, "comm"), QByteArray("cobaltquarry\n"));
    EXPECT_TRUE(PgrepExact(QStringLiteral("cobaltquarry")).contains(QString::number(pid)));
    const QString environ = QString::fromLocal8Bit(ReadProc(pid, "environ"));
    EXPECT_EQ(Sorted(environ.split(QChar(0))), Sorted(env.toStringList()));

    ::kill(static_cast<pid_t>(pid), SIGTERM);
    EXPECT_TRUE(tracer.waitForFinished(30000));
    QFile trace(log);
    ASSERT_TRUE(trace.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromLocal8Bit(trace.readAll()).split('\n');
    // The program's own execve calls; the D-Bus library's search for
    // dbus-launch in a child of the program's (no session bus here) is not
    // the program starting.
    const QStringList starts =
        lines.filter(QRegularExpression(QStringLiteral("^%1 +execve\\(").arg(pid)));
    ASSERT_EQ(starts.size(), 1) << starts.join('\n').toStdString();
    EXPECT_TRUE(starts.front().contains(QStringLiteral("execve(\"" CQ_PROGRAM "\"")))
        << starts.front().toStdString();
}

}  // namespace
