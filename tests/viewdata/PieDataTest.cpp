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

    Edit([](TStoredSet& set) { set.Dirs = {"T:", "T:\\A"}; });
    folderChanged = true;
    pie.CreatePieData();
    EXPECT_EQ(pie.PiePaths, (TStringList{"T:"}));
}

// Folders and files alike need more than 1 % of the current folder (10000
// bytes) to become a slice; exactly 1 % is left to the remainder.
TEST_F(PieDataTest, OnlySharesAboveOnePercentBecomeSlices) {
    struct Item {
        const char* name;
        const char* folderPercent;  // nullptr: a file of fileSize bytes
        int fileSize;
        const char* slicePercent;  // nullptr: no slice
    };
    // Folder names in byte order, as they are stored.
    const Item items[] = {
        {"d0.99", "0.99", 0, nullptr},
        {"d1.0", "1.0", 0, nullptr},
        {"d1.01", "1.01", 0, "1.0"},
        {"f0.99", nullptr, 99, nullptr},
        {"f1.0", nullptr, 100, nullptr},
        // 1.01 and 33.33 as single-precision numbers, 15 digits.
        {"f1.01", nullptr, 101, "1.00999999046326"},
        {"f33.33", nullptr, 3333, "33.3300018310547"},
    };
    Store("T:", "10000", "0");
    Store("T:\\top", "10000", "100");
    TStringList paths{"T:\\top"}, percents{"100.0"};
    for (const Item& item : items) {
        const std::string path = std::string("T:\\top\\") + item.name;
        if (item.folderPercent != nullptr) {
            drive.MakeFolder(std::string("top/") + item.name);
            Store(path, "1", item.folderPercent);
        } else {
            drive.MakeFile(std::string("top/") + item.name, item.fileSize);
        }
        if (item.slicePercent != nullptr) {
            paths.push_back(path);
            percents.push_back(item.slicePercent);
        }
    }
    Enter("T:\\top");
    pie.CreatePieData();
    ExpectParallel();
    EXPECT_EQ(pie.PiePaths, paths);
    EXPECT_EQ(pie.PiePercents, percents);
    EXPECT_EQ(pie.PieNames, (TStringList{"Top", "D1.01", "F1.01", "F33.33"}));
    EXPECT_EQ(pie.PieSizes, (TStringList{"10000", "1", "101", "3333"}));
}

// Subfolders are taken while their shares add up to at most 100 %, counting
// those too small for a slice; the walk ends at the first that passes it.
// The current folder's own share of its parent (40 %) is not counted, and
// its file (20 %) is always looked at.
TEST_F(PieDataTest, TheFolderWalkEndsOnlyPastATotalOf100) {
    struct Row {
        const char* what;
        TStringList percents;  // of subfolders "a", "b", ...
        std::string slices;    // the subfolders that become slices
    };
    const Row rows[] = {
        {"60 + 40 is exactly 100", {"60", "40", "5"}, "ab"},
        {"60 + 40.5 passes 100", {"60", "40.5", "5"}, "a"},
        {"small shares count", {"98", "0.5", "0.5", "0.5", "1.5"}, "a"},
    };
    int index = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string top = "r" + std::to_string(index++);
        drive.MakeFolder(top);
        drive.MakeFile(top + "/f", 2000);
        Clear();
        Store("T:\\" + top, "10000", "40");
        char name = 'a';
        for (std::string_view percent : row.percents) {
            drive.MakeFolder(top + "/" + name);
            Store("T:\\" + top + "\\" + name++, "1", percent);
        }
        TStringList slices{"T:\\" + top};
        for (char slice : row.slices) {
            slices.push_back("T:\\" + top + "\\" + slice);
        }
        slices.push_back("T:\\" + top + "\\f");
        Enter("T:\\" + top);
        folderChanged = true;
        pie.CreatePieData();
        EXPECT_EQ(pie.PiePaths, slices);
        ExpectParallel();
    }
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
