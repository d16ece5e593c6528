#include <gtest/gtest.h>

#include "tests/viewdata/ViewDataFixture.h"
#include "views/bar/BarData.h"
#include "views/common/ConvertError.h"

namespace {

class BarDataTest : public ViewDataFixture {
  protected:
    TBarData bar{store, listing, folderChanged};
};

TEST_F(BarDataTest, AnEmptyFolderGivesNoRows) {
    drive.MakeFolder("empty");
    Store("T:", "100", "0");
    Store("T:\\empty", "0", "0");
    Enter("T:\\empty");
    bar.CreateFolderBarData();
    EXPECT_TRUE(bar.BarSizes.empty());
    EXPECT_TRUE(bar.BarSLSEmpty());
    EXPECT_TRUE(bar.BarDataReady);
    EXPECT_FALSE(folderChanged);
}

TEST_F(BarDataTest, RowsFollowTheListingWithStoredFoldersFilesAndUnanalysedFolders) {
    drive.MakeFolder("top/big");
    drive.MakeFolder("top/new");
    drive.MakeFile("top/a.bin", 1048576);
    drive.MakeFile("top/b.bin", 0);
    Store("T:", "4194304", "0");
    Store("T:\\top", "4194304", "100");
    Store("T:\\top\\big", "3145728", "75");
    Enter("T:\\top");
    bar.CreateFolderBarData();

    ASSERT_EQ(bar.BarSizes.size(), 4u);
    EXPECT_EQ(bar.BarSizes, (TStringList{"3145728", "0", "1048576", "0"}));
    EXPECT_EQ(bar.BarPercents, (TStringList{"75.0", "0", "25.0", "0.0"}));
    EXPECT_EQ(bar.BarColors[1], "clWhite");
    EXPECT_EQ(bar.BarColors[0].front(), '$');
    EXPECT_EQ(bar.RootFolderSize(), 4194304);
    EXPECT_FALSE(bar.PercentOverflow);
    EXPECT_TRUE(bar.BarItemIsFolder(0));
    EXPECT_TRUE(bar.BarItemIsFolder(1));
    EXPECT_FALSE(bar.BarItemIsFolder(2));
    EXPECT_FALSE(bar.BarItemIsFolder(4));
}

TEST_F(BarDataTest, ALinkToAFolderCountsAsAFolderWhateverItsTypeText) {
    drive.MakeFolder("top/real");
    drive.MakeLink("real", "top/via link");
    Store("T:", "10", "0");
    Store("T:\\top", "10", "100");
    Enter("T:\\top");
    bar.CreateFolderBarData();
    ASSERT_EQ(bar.BarColors.size(), 2u);
    EXPECT_EQ(bar.BarColors, (TStringList{"clWhite", "clWhite"}));
}

TEST_F(BarDataTest, ACaseTwinOfAStoredFolderIsNotTakenForIt) {
    drive.MakeFolder("Data");
    drive.MakeFolder("data");
    Store("T:", "10", "0");
    Store("T:\\Data", "10", "100");
    Enter("T:\\");
    bar.CreateFolderBarData();
    EXPECT_EQ(bar.BarSizes, (TStringList{"10", "0"}));
    EXPECT_EQ(bar.BarColors[1], "clWhite");
}

TEST_F(BarDataTest, TheDriveRootIsFoundInBothLetterCases) {
    drive.MakeFile("f", 50);
    Store("T:", "200", "0");
    Enter("T:\\");
    EXPECT_EQ(bar.RootFolderSize(), 200);
    bar.CreateFolderBarData();
    EXPECT_EQ(bar.BarPercents, (TStringList{"25.0"}));

    store.GlobalDirs = {"t:"};
    EXPECT_EQ(bar.RootFolderSize(), 200);
    store.GlobalDirs = {"T:\\"};
    EXPECT_EQ(bar.RootFolderSize(), 200);
    store.GlobalDirs = {"T:\\x"};
    EXPECT_EQ(bar.RootFolderSize(), 0);
}

TEST_F(BarDataTest, WholePercentsPastOneHundredTwoZeroEveryPercentButKeepSizes) {
    drive.MakeFolder("top/a");
    drive.MakeFolder("top/b");
    Store("T:", "100", "0");
    Store("T:\\top", "100", "100");
    Store("T:\\top\\a", "60", "60.9");
    Store("T:\\top\\b", "50", "42.9");  // whole numbers 60 + 42 = 102: still fine
    Enter("T:\\top");
    bar.CreateFolderBarData();
    EXPECT_FALSE(bar.PercentOverflow);
    EXPECT_EQ(bar.BarPercents, (TStringList{"60.9", "42.9"}));

    store.GlobalPercents[3] = "43";
    folderChanged = true;
    bar.CreateFolderBarData();
    EXPECT_TRUE(bar.PercentOverflow);
    EXPECT_EQ(bar.BarPercents, (TStringList{"0", "0"}));
    EXPECT_EQ(bar.BarSizes, (TStringList{"60", "50"}));
}

TEST_F(BarDataTest, AFileThatPassesTheLimitIsItselfZeroAndSetsTheOverflow) {
    drive.MakeFolder("top/a");
    drive.MakeFile("top/f", 10);
    Store("T:", "100", "0");
    Store("T:\\top", "100", "100");
    Store("T:\\top\\a", "95", "95");
    Enter("T:\\top");
    bar.CreateFolderBarData();
    EXPECT_TRUE(bar.PercentOverflow);
    EXPECT_EQ(bar.BarPercents, (TStringList{"0", "0"}));
}

TEST_F(BarDataTest, AnUnanalysedCurrentFolderGivesFilesZeroPercent) {
    drive.MakeFolder("top/sub");
    drive.MakeFile("top/f", 123);
    Store("T:", "100", "0");
    Enter("T:\\top");
    EXPECT_EQ(bar.RootFolderSize(), 0);
    bar.CreateFolderBarData();
    EXPECT_EQ(bar.BarSizes, (TStringList{"0", "123"}));
    EXPECT_EQ(bar.BarPercents, (TStringList{"0", "0"}));
}

TEST_F(BarDataTest, NoRebuildWithoutAChangeOrWithoutResults) {
    drive.MakeFile("f", 1);
    Store("T:", "1", "0");
    Enter("T:\\");
    bar.CreateFolderBarData();
    ASSERT_EQ(bar.BarSizes.size(), 1u);

    drive.MakeFile("g", 1);
    listing.Refresh();
    bar.CreateFolderBarData();  // FolderChanged is clear
    EXPECT_EQ(bar.BarSizes.size(), 1u);

    folderChanged = true;
    store.FreeSLs();
    bar.CreateFolderBarData();
    EXPECT_EQ(bar.BarSizes.size(), 1u);
    EXPECT_TRUE(folderChanged);
}

TEST_F(BarDataTest, AMalformedPercentStopsTheBuildWithTheListsOfOneLength) {
    drive.MakeFolder("top/a");
    drive.MakeFolder("top/b");
    Store("T:", "100", "0");
    Store("T:\\top", "100", "100");
    Store("T:\\top\\a", "60", "60");
    Store("T:\\top\\b", "40", "4O");
    Enter("T:\\top");
    EXPECT_THROW(bar.CreateFolderBarData(), EConvertError);
    EXPECT_EQ(bar.BarSizes.size(), 1u);
    EXPECT_EQ(bar.BarPercents.size(), 1u);
    EXPECT_EQ(bar.BarColors.size(), 1u);
    EXPECT_FALSE(bar.BarDataReady);
    EXPECT_TRUE(folderChanged);

    store.GlobalDirSizes[1] = "1OO";
    EXPECT_THROW(bar.RootFolderSize(), EConvertError);
}

TEST(BarDataListsTest, ZeroSLKeepsTheCountAndEmptyLineAddsTheUnanalysedRow) {
    TStringList list{"1", "2.5", "x"};
    TBarData::ZeroSL(list);
    EXPECT_EQ(list, (TStringList{"0", "0", "0"}));

    TResultStore store{std::string()};
    TShellListModel listing;
    bool changed = true;
    TBarData bar(store, listing, changed);
    bar.EmptyLine();
    bar.AddTPDC("12.5", "100", "$00102030");
    EXPECT_EQ(bar.BarPercents, (TStringList{"0", "12.5"}));
    EXPECT_EQ(bar.BarSizes, (TStringList{"0", "100"}));
    EXPECT_EQ(bar.BarColors, (TStringList{"clWhite", "$00102030"}));
    EXPECT_FALSE(bar.BarSLSEmpty());
    bar.BarColors.clear();
    EXPECT_TRUE(bar.BarSLSEmpty());
    bar.ClearBarSLs();
    EXPECT_TRUE(bar.BarSizes.empty());
    EXPECT_TRUE(bar.BarSLSEmpty());
}

}  // namespace
