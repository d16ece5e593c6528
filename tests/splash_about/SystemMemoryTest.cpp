// The memory figures behind the About window, and the shell's "open" that
// its links use.

#include <gtest/gtest.h>

#include "platform/desktop/ShellOpen.h"
#include "platform/system/SystemMemory.h"

namespace cq::platform {
namespace {

TEST(SystemMemoryTest, MemInfoGivesTotalAndUsedShare) {
    TMemoryStatus status;
    ASSERT_TRUE(
        ParseMemInfo("MemTotal:         524288 kB\n"
                     "MemFree:           10000 kB\n"
                     "MemAvailable:     330301 kB\n"
                     "Buffers:            2000 kB\n",
                     status));
    EXPECT_EQ(status.totalPhys, 536870912u);
    // 193987 of 524288 kB in use: 37.0 %.
    EXPECT_EQ(status.memoryLoad, 37u);
}

TEST(SystemMemoryTest, OldKernelsWithoutMemAvailableCountCachesAsFree) {
    TMemoryStatus status;
    ASSERT_TRUE(ParseMemInfo("MemTotal: 1000 kB\nMemFree: 100 kB\nBuffers: 50 kB\nCached: 350 kB\n",
                             status));
    EXPECT_EQ(status.totalPhys, 1024000u);
    EXPECT_EQ(status.memoryLoad, 50u);
}

TEST(SystemMemoryTest, TextWithoutATotalIsRejected) {
    TMemoryStatus status{7, 7};
    EXPECT_FALSE(ParseMemInfo("", status));
    EXPECT_FALSE(ParseMemInfo("MemFree: 100 kB\n", status));
    EXPECT_FALSE(ParseMemInfo("MemTotal: 0 kB\n", status));
    EXPECT_FALSE(ParseMemInfo("MemTotal: lots\n", status));
    EXPECT_EQ(status.totalPhys, 7u);
}

TEST(SystemMemoryTest, LoadIsRoundedAndKeptWithinZeroToHundred) {
    EXPECT_EQ(MemoryLoad(1000, 1000), 0u);
    EXPECT_EQ(MemoryLoad(1000, 5000), 0u);  // more available than total: none used
    EXPECT_EQ(MemoryLoad(1000, 0), 100u);
    EXPECT_EQ(MemoryLoad(1000, 995), 1u);  // 0.5 % rounds up
    EXPECT_EQ(MemoryLoad(1000, 996), 0u);
    EXPECT_EQ(MemoryLoad(0, 0), 0u);
    EXPECT_EQ(MemoryLoad(1ull << 50, 1ull << 49), 50u);  // no overflow on huge machines
}

TEST(SystemMemoryTest, TheMachineReportsSomeMemory) {
    const TMemoryStatus status = ReadMemoryStatus();
    EXPECT_GT(status.totalPhys, 16u * 1024 * 1024);
    EXPECT_LE(status.memoryLoad, 100u);
}

TEST(ShellOpenTest, AddressesStayAddressesAndEverythingElseIsAFile) {
    using desktop::ShellOpenUrl;
    EXPECT_EQ(ShellOpenUrl("https://www.gnu.org/software/coreutils/"),
              QUrl("https://www.gnu.org/software/coreutils/"));
    EXPECT_EQ(ShellOpenUrl("mailto:ann@localhost").scheme(), "mailto");
    EXPECT_EQ(ShellOpenUrl("/home/ann/report.pdf"), QUrl::fromLocalFile("/home/ann/report.pdf"));
    // A file whose name merely contains a colon or a percent sign.
    EXPECT_EQ(ShellOpenUrl("/tmp/a:b 100%.txt").toLocalFile(), QStringLiteral("/tmp/a:b 100%.txt"));
    EXPECT_EQ(ShellOpenUrl("/tmp/#notes?.txt").toLocalFile(), QStringLiteral("/tmp/#notes?.txt"));

    std::vector<QUrl> opened;
    const auto previous =
        desktop::SetShellOpenHook([&opened](const QUrl& url) { opened.push_back(url); });
    desktop::ShellOpen(QString());
    desktop::ShellOpen("/tmp/x.chm");
    desktop::SetShellOpenHook(previous);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl::fromLocalFile("/tmp/x.chm"));
}

}  // namespace
}  // namespace cq::platform
