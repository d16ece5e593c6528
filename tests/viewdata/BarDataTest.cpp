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

    Edit([](TStoredSet& set) { set.Dirs = {"t:"}; });
    EXPECT_EQ(bar.RootFolderSize(), 200);
    Edit([](TStoredSet& set) { set.Dirs = {"T:\\"}; });
    EXPECT_EQ(bar.RootFolderSize(), 200);
    Edit([](TStoredSet& set) { set.Dirs = {"T:\\x"}; });
    EXPECT_EQ(bar.RootFolderSize(), 0);
}

// The whole parts of the rows' percents, folders and files alike, may add up
// to 102 (rounding leaves room above 100); one more zeroes every percent.
TEST_F(BarDataTest, WholePercentsOverflowOnlyPast102) {
    struct Row {
        const char* what;
        TStringList folderPercents;  // subfolders "a", "b", ... of a 100-byte folder
        int fileSize;                // one file "f" of this many bytes, or none (-1)
        bool overflow;
        TStringList percents;
        TStringList sizes;  // kept whatever the percents
    };
    const Row rows[] = {
        {"folders at 60 + 42", {"60.9", "42.9"}, -1, false, {"60.9", "42.9"}, {"10", "10"}},
        {"folders at 60 + 43", {"60.9", "43"}, -1, true, {"0", "0"}, {"10", "10"}},
        {"folder 95 + file 7", {"95"}, 7, false, {"95.0", "7.0"}, {"10", "7"}},
        {"folder 95 + file 8", {"95"}, 8, true, {"0", "0"}, {"10", "8"}},
    };
    int index = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string top = "r" + std::to_string(index++);
        Store("T:\\" + top, "100", "100");
        char name = 'a';
        for (std::string_view percent : row.folderPercents) {
            drive.MakeFolder(top + "/" + name);
            Store("T:\\" + top + "\\" + name++, "10", percent);
        }
        if (row.fileSize >= 0) {
            drive.MakeFile(top + "/f", row.fileSize);
        }
        Enter("T:\\" + top);
        folderChanged = true;
        bar.CreateFolderBarData();
        EXPECT_EQ(bar.PercentOverflow, row.overflow);
        EXPECT_EQ(bar.BarPercents, row.percents);
        EXPECT_EQ(bar.BarSizes, row.sizes);
        Clear();
    }
}

TEST_F(BarDataTest, HugeStoredPercentsAreClampedWhereTheyAreRead) {
    // 1e38 fits a float but not a whole number of 64 bits; 1e300 fits
    // neither. Both would be undefined conversions (the sanitizer build
    // stops at them); read clamped, they only overflow the percent sum.
    drive.MakeFolder("top/a");
    drive.MakeFolder("top/b");
    drive.MakeFolder("top/c");
    Store("T:", "30", "0");
    Store("T:\\top", "30", "100");
    Store("T:\\top\\a", "10", "1e38");
    Store("T:\\top\\b", "10", "1e300");
    Store("T:\\top\\c", "10", "-1e300");
    Enter("T:\\top");
    bar.CreateFolderBarData();
    ASSERT_EQ(bar.BarSizes, (TStringList{"10", "10", "10"}));
    EXPECT_TRUE(bar.PercentOverflow);
    EXPECT_EQ(bar.BarPercents, (TStringList{"0", "0", "0"}));
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

    Edit([](TStoredSet& set) { set.Sizes.Set(1, "1OO"); });
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
