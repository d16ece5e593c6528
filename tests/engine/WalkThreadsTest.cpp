#include <gtest/gtest.h>
#include <stdlib.h>

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
