#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>

#include "platform/LargePages.h"

namespace {

using TLines = std::map<std::string, std::string>;

// Runs the probe, started as the desktop program is, with GLIBC_TUNABLES
// set to Tunables (unset when none) in an otherwise plain environment.
TLines RunProbe(const std::optional<std::string>& tunables, const QString& loader = {}) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("GLIBC_TUNABLES"));
    env.remove(QStringLiteral("COBALTQUARRY_USER_TUNABLES"));
    if (tunables)
        env.insert(QStringLiteral("GLIBC_TUNABLES"), QString::fromStdString(*tunables));
    // A value with blanks and "=" that must come through both starts.
    env.insert(QStringLiteral("PROBE_OTHER"), QStringLiteral("a b=c"));
    QProcess probe;
    probe.setProcessEnvironment(env);
    if (loader.isEmpty())
        probe.start(QStringLiteral(CQ_LARGE_PAGES_PROBE), {});
    else
        probe.start(loader, {QStringLiteral(CQ_LARGE_PAGES_PROBE)});
    // A program that kept starting itself again would never finish.
    EXPECT_TRUE(probe.waitForFinished(20000));
    EXPECT_EQ(probe.exitCode(), 0);
    TLines lines;
    for (const QByteArray& line : probe.readAllStandardOutput().split('\n')) {
        const int eq = line.indexOf('=');
        if (eq > 0)
            lines[line.left(eq).toStdString()] = line.mid(eq + 1).toStdString();
    }
    return lines;
}

bool KernelAsksForMarks() {
    std::ifstream in("/sys/kernel/mm/transparent_hugepage/enabled");
    return HugePagesOnlyWhenAsked(
        {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()});
}

// Whatever the user's GLIBC_TUNABLES, the program and what it starts see it
// unchanged and the restart's own variable is gone. Where the kernel needs
// asking, the program starts again once, and the allocator's large blocks
// may then have huge pages; not when the user already chose the setting.
TEST(LargePages, TheProgramRunsWithHugePagesAndTheUsersEnvironment) {
    const bool asks = KernelAsksForMarks();
    const std::optional<std::string> cases[] = {std::nullopt, "", "glibc.malloc.arena_max=2",
                                                "glibc.malloc.hugetlb=0"};
    for (const std::optional<std::string>& user : cases) {
        SCOPED_TRACE(user.value_or("(unset)"));
        TLines lines = RunProbe(user);
        EXPECT_EQ(lines["now"], user.value_or("(unset)"));
        EXPECT_EQ(lines["left"], "(unset)");
        EXPECT_EQ(lines["other"], "a b=c");
        const bool restarts = asks && user.value_or("").find("hugetlb") == std::string::npos;
        EXPECT_EQ(lines["restarted"], restarts ? "yes" : "no");
        // With "always" every large block may have them anyway; "-" from a
        // build whose sanitizer brings its own allocator.
        if (asks && lines["eligible"] != "-") {
            EXPECT_EQ(lines["eligible"], restarts ? "1" : "0");
        }
    }
}

// Started through the dynamic loader by hand, a restart would run the
// loader without the program: the program runs as started instead.
TEST(LargePages, AProgramStartedThroughTheLoaderRunsAsStarted) {
    const QString loader = QStringLiteral("/lib64/ld-linux-x86-64.so.2");
    if (!QFileInfo::exists(loader))
        GTEST_SKIP() << "no " << loader.toStdString();
    TLines lines = RunProbe(std::nullopt, loader);
    EXPECT_EQ(lines["restarted"], "no");
    EXPECT_EQ(lines["now"], "(unset)");
    EXPECT_EQ(lines["other"], "a b=c");
}

TEST(LargePages, OnlyTheMadviseModeNeedsTheRestart) {
    EXPECT_TRUE(HugePagesOnlyWhenAsked("always [madvise] never\n"));
    EXPECT_FALSE(HugePagesOnlyWhenAsked("[always] madvise never\n"));
    EXPECT_FALSE(HugePagesOnlyWhenAsked("always madvise [never]\n"));
    EXPECT_FALSE(HugePagesOnlyWhenAsked(""));
}

}  // namespace
