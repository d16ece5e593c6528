#include <gtest/gtest.h>

#include <algorithm>

#include "tests/viewdata/ViewDataFixture.h"
#include "views/common/Colors.h"
#include "views/common/ConvertError.h"
#include "views/common/RandomColor.h"
#include "views/pie/PieData.h"

namespace {

class PieDataTest : public ViewDataFixture {
  protected:
    void ExpectParallel() const {
        const std::size_t n = pie.PieNames.size();
        EXPECT_EQ(pie.PiePaths.size(), n);
        EXPECT_EQ(pie.PiePercents.size(), n);
        EXPECT_EQ(pie.PieSizes.size(), n);
        EXPECT_EQ(pie.PieColors.size(), n);
    }

    TPieData pie{store, listing, folderChanged};
};

TEST_F(PieDataTest, AnUnanalysedFolderGivesTheSinglePlaceholder) {
    drive.MakeFolder("top/sub");
    drive.MakeFile("top/f", 500);
    Store("T:", "100", "0");
    Enter("T:\\top");
    pie.CreatePieData();
    EXPECT_TRUE(pie.PiePlaceholder);
    EXPECT_EQ(pie.PieNames, (TStringList{" "}));
    EXPECT_EQ(pie.PiePaths, (TStringList{" "}));
    EXPECT_EQ(pie.PiePercents, (TStringList{"100"}));
    EXPECT_EQ(pie.PieSizes, (TStringList{"0"}));
    EXPECT_EQ(pie.PieColors.size(), 1u);
    EXPECT_EQ(pie.IndexOfFolder("T:\\top"), 1);
}

TEST_F(PieDataTest, TheDriveRootIsLookedUpAsTheLetterAndColon) {
    drive.MakeFolder("a");
    Store("t:", "1000", "0");
    Store("t:\\a", "500", "50");
    Enter("T:\\");
    EXPECT_EQ(pie.IndexOfFolder("T:\\"), 0);
    pie.CreatePieData();
    EXPECT_FALSE(pie.PiePlaceholder);
    // Only the drive letter compares without case; the entries keep the
    // stored spelling.
    EXPECT_EQ(pie.PieNames, (TStringList{"T:", "A"}));
    EXPECT_EQ(pie.PiePaths, (TStringList{"t:", "t:\\a"}));
    EXPECT_EQ(pie.PiePercents, (TStringList{"0.0", "50.0"}));
    EXPECT_EQ(pie.PieSizes, (TStringList{"1000", "500"}));

    store.GlobalDirs = {"T:", "T:\\A"};
    folderChanged = true;
    pie.CreatePieData();
    EXPECT_EQ(pie.PiePaths, (TStringList{"T:"}));
}

TEST_F(PieDataTest, OnlySharesAboveOnePercentBecomeSlices) {
    drive.MakeFolder("top/exactly one");
    drive.MakeFolder("top/just over");
    drive.MakeFile("top/one percent", 100);
    drive.MakeFile("top/third", 3333);
    Store("T:", "10000", "0");
    Store("T:\\top", "10000", "100");
    Store("T:\\top\\exactly one", "100", "1.0");
    Store("T:\\top\\just over", "101", "1.01");
    Enter("T:\\top");
    pie.CreatePieData();
    ExpectParallel();
    EXPECT_EQ(pie.PiePaths, (TStringList{"T:\\top", "T:\\top\\just over", "T:\\top\\third"}));
    EXPECT_EQ(pie.PieNames, (TStringList{"Top", "Just over", "Third"}));
    EXPECT_EQ(pie.PiePercents, (TStringList{"100.0", "1.0", "33.3300018310547"}));
    EXPECT_EQ(pie.PieSizes, (TStringList{"10000", "101", "3333"}));
}

TEST_F(PieDataTest, ARunningTotalPastOneHundredEndsTheFolderWalkButNotTheFiles) {
    drive.MakeFolder("top/a");
    drive.MakeFolder("top/b");
    drive.MakeFolder("top/c");
    drive.MakeFile("top/f", 2000);
    Store("T:", "10000", "0");
    Store("T:\\top", "10000", "40");
    Store("T:\\top\\a", "6000", "60");
    Store("T:\\top\\b", "3500", "35");
    Store("T:\\top\\c", "3000", "30");
    Enter("T:\\top");
    pie.CreatePieData();
    // The current folder's own 40 % of its parent does not count: a and b
    // (95 %) are taken, c would make 125 % and ends the walk.
    EXPECT_EQ(pie.PiePaths, (TStringList{"T:\\top", "T:\\top\\a", "T:\\top\\b", "T:\\top\\f"}));
    EXPECT_EQ(pie.PiePercents.back(), "20");
    ExpectParallel();
}

TEST_F(PieDataTest, AFolderWithNothingAboveOnePercentKeepsItsOwnEntryOnly) {
    drive.MakeFolder("top/tiny");
    drive.MakeFile("top/small", 1);
    Store("T:", "10000", "0");
    Store("T:\\top", "10000", "100");
    Store("T:\\top\\tiny", "10", "0.1");
    Enter("T:\\top");
    pie.CreatePieData();
    EXPECT_FALSE(pie.PiePlaceholder);
    EXPECT_EQ(pie.PiePaths, (TStringList{"T:\\top"}));
}

TEST_F(PieDataTest, AStoredSizeOfZeroGivesEveryFileZeroShare) {
    drive.MakeFolder("top");
    drive.MakeFile("top/f", 10);
    Store("T:", "0", "0");
    Store("T:\\top", "0", "0");
    Enter("T:\\top");
    pie.CreatePieData();
    EXPECT_EQ(pie.PiePaths, (TStringList{"T:\\top"}));
}

TEST_F(PieDataTest, HiddenFoldersGetLightColours) {
    drive.MakeFolder("top/.cache");
    drive.MakeFolder("top/plain");
    Store("T:", "100", "0");
    Store("T:\\top", "100", "100");
    Store("T:\\top\\.cache", "50", "50");
    Store("T:\\top\\plain", "50", "50");
    Enter("T:\\top");
    bool plainWasDark = false;
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        SeedRandomColors(seed);
        folderChanged = true;
        pie.CreatePieData();
        ASSERT_EQ(pie.PiePaths.size(), 3u);
        ASSERT_EQ(pie.PiePaths[1], "T:\\top\\.cache");
        const TColor hidden = StringToColor(pie.PieColors[1]);
        for (int component : {RedOf(hidden), GreenOf(hidden), BlueOf(hidden)}) {
            EXPECT_GE(component, 99);
            EXPECT_LE(component, 254);
        }
        const TColor plain = StringToColor(pie.PieColors[2]);
        plainWasDark =
            plainWasDark || RedOf(plain) < 99 || GreenOf(plain) < 99 || BlueOf(plain) < 99;
    }
    EXPECT_TRUE(plainWasDark);
}

TEST_F(PieDataTest, AHiddenCurrentFolderGetsALightColourToo) {
    drive.MakeFolder(".config");
    Store("T:", "100", "0");
    Store("T:\\.config", "100", "100");
    Enter("T:\\.config");
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
        SeedRandomColors(seed);
        folderChanged = true;
        pie.CreatePieData();
        ASSERT_EQ(pie.PieNames, (TStringList{".config"}));
        const TColor color = StringToColor(pie.PieColors[0]);
        EXPECT_GE(std::min({RedOf(color), GreenOf(color), BlueOf(color)}), 99);
    }
}

TEST_F(PieDataTest, NothingIsRebuiltWhileTheFolderIsUnchanged) {
    drive.MakeFolder("top/a");
    Store("T:", "100", "0");
    Store("T:\\top", "100", "100");
    Store("T:\\top\\a", "50", "50");
    Enter("T:\\top");
    pie.CreatePieData();
    EXPECT_TRUE(folderChanged);
    const TStringList colors = pie.PieColors;
    const TColor other = pie.OtherColor;
    folderChanged = false;
    Enter("T:\\");
    pie.CreatePieData();
    EXPECT_EQ(pie.PieColors, colors);
    EXPECT_EQ(pie.OtherColor, other);
    EXPECT_EQ(pie.PiePaths.size(), 2u);
}

TEST_F(PieDataTest, AMalformedPercentRaisesTheConversionErrorWithParallelLists) {
    drive.MakeFolder("top/a");
    drive.MakeFolder("top/b");
    Store("T:", "100", "0");
    Store("T:\\top", "100", "100");
    Store("T:\\top\\a", "50", "50");
    Store("T:\\top\\b", "50", "5,0");
    Enter("T:\\top");
    EXPECT_THROW(pie.CreatePieData(), EConvertError);
    ExpectParallel();
    EXPECT_EQ(pie.PiePaths, (TStringList{"T:\\top", "T:\\top\\a"}));
}

TEST(PieDataListsTest, PieSLSEmptyIgnoresThePathsList) {
    TResultStore store{std::string()};
    TShellListModel listing;
    bool changed = true;
    TPieData pie(store, listing, changed);
    EXPECT_TRUE(pie.PieSLSEmpty());
    pie.PieNames = {"A"};
    pie.PiePercents = {"1"};
    pie.PieSizes = {"1"};
    pie.PieColors = {"clRed"};
    EXPECT_FALSE(pie.PieSLSEmpty());
    pie.PieSizes.clear();
    EXPECT_TRUE(pie.PieSLSEmpty());
    pie.ClearPieSLs();
    EXPECT_TRUE(pie.PieNames.empty());
}

}  // namespace
