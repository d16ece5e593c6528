#include <gtest/gtest.h>
#include <stdlib.h>

#include <QThread>
#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <thread>

#include "engine/WalkHelpers.h"
#include "engine/WalkThreads.h"
#include "tests/platform/TempDir.h"

TEST(WalkThreadsTest, ManyInFlightPerCoreUnlessTheDiskRotates) {
    for (TDiskKind kind : {TDiskKind::Solid, TDiskKind::Virtual, TDiskKind::Unknown}) {
        EXPECT_EQ(ChooseWalkThreads(1, kind, ""), 16);
        EXPECT_EQ(ChooseWalkThreads(2, kind, ""), 16);
        EXPECT_EQ(ChooseWalkThreads(4, kind, ""), 32);
        EXPECT_EQ(ChooseWalkThreads(64, kind, ""), 64);
        EXPECT_EQ(ChooseWalkThreads(0, kind, ""), 16);  // CPU count unknown
    }
    EXPECT_EQ(ChooseWalkThreads(1, TDiskKind::Rotational, ""), 1);
    EXPECT_EQ(ChooseWalkThreads(2, TDiskKind::Rotational, ""), 2);
    EXPECT_EQ(ChooseWalkThreads(32, TDiskKind::Rotational, ""), 2);
}

TEST(WalkThreadsTest, OverrideWinsWhenItIsACount) {
    EXPECT_EQ(ChooseWalkThreads(2, TDiskKind::Rotational, "12"), 12);
    EXPECT_EQ(ChooseWalkThreads(2, TDiskKind::Solid, " 1 "), 1);
    EXPECT_EQ(ChooseWalkThreads(2, TDiskKind::Solid, "256"), 256);
    for (const char* bad : {"0", "-3", "257", "4x", "x4", "", "  ", "1.5", "99999999999"})
        EXPECT_EQ(ChooseWalkThreads(2, TDiskKind::Rotational, bad), 2) << bad;
}

TEST(WalkThreadsTest, VariableIsReadForEveryWalk) {
    TTempDir dir;
    ASSERT_EQ(setenv(kWalkThreadsVariable, "7", 1), 0);
    EXPECT_EQ(WalkThreadsFor(dir.Path()), 7);
    ASSERT_EQ(setenv(kWalkThreadsVariable, "lots", 1), 0);
    const int chosen = WalkThreadsFor(dir.Path());
    ASSERT_EQ(unsetenv(kWalkThreadsVariable), 0);
    EXPECT_EQ(chosen, WalkThreadsFor(dir.Path()));
    EXPECT_NE(chosen, 7);
}

// The helpers start as the disk reads say: all at once when they cannot be
// known, the warm count while they stand still, the rest once they move,
// none after the join; each helper number runs once.
TEST(WalkThreadsTest, HelpersGrowOnlyOnceTheDiskIsRead) {
    struct TCase {
        bool Known;
        bool Reads;  // the count moves after the start
        int Expected;
    };
    for (const TCase& c : {TCase{false, false, 8}, TCase{true, false, 3}, TCase{true, true, 8}}) {
        std::atomic<std::uint64_t> reads{100};
        std::mutex mutex;
        std::multiset<int> ran;
        TWalkHelpers helpers(
            3, 8,
            [&](int t) {
                std::lock_guard<std::mutex> guard(mutex);
                ran.insert(t);
            },
            [&]() -> std::optional<std::uint64_t> {
                if (!c.Known)
                    return std::nullopt;
                return reads.load();
            });
        helpers.Start();
        if (c.Reads)
            reads += 4096;
        for (int i = 0; i < 20; ++i) {
            helpers.Look();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        EXPECT_EQ(helpers.Walking(), c.Expected) << c.Known << c.Reads;
        helpers.Join();
        reads += 4096;
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
        helpers.Look();
        EXPECT_EQ(helpers.Walking(), c.Expected);
        std::multiset<int> expected;
        for (int t = 1; t < c.Expected; ++t)
            expected.insert(t);
        EXPECT_EQ(ran, expected);
    }
}

TEST(WalkThreadsTest, TwoWarmThreadsPerCoreUnlessTheCountIsGiven) {
    const int cores = std::max(QThread::idealThreadCount(), 1);
    EXPECT_EQ(WarmWalkThreads(64), std::min(64, 2 * cores));
    EXPECT_EQ(WarmWalkThreads(1), 1);
    ASSERT_EQ(setenv(kWalkThreadsVariable, "16", 1), 0);
    const int told = WarmWalkThreads(16);
    ASSERT_EQ(unsetenv(kWalkThreadsVariable), 0);
    EXPECT_EQ(told, 16);
}
