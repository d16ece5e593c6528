#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/viewdata/ViewDataFixture.h"
#include "views/bar/BarData.h"
#include "views/common/RandomColor.h"
#include "views/pie/PieData.h"
#include "views/pie/ViewRefresh.h"

namespace {

class ViewRefreshTest : public ViewDataFixture {
  protected:
    ViewRefreshTest() {
        for (int i = 0; i < 20; ++i) {
            drive.MakeFile("file " + std::to_string(i), 100 + i);
        }
        Store("T:", "2190", "0");
        Enter("T:\\");
        refresh.SetPieBackground = [&](TColor color) {
            calls.push_back(color == clWhite ? "white" : color == clBtnFace ? "face" : "?");
        };
        refresh.BarToBarlv = [&] { calls.push_back("bar list"); };
        refresh.DrawPieMain = [&] {
            calls.push_back("pie");
            pie.CreatePieData();
        };
    }

    TBarData bar{store, listing, folderChanged};
    TPieData pie{store, listing, folderChanged};
    TViewRefresh refresh{store, bar, pie};
    std::vector<std::string> calls;
};

TEST_F(ViewRefreshTest, UpdateBarPieRebuildsBothInOrder) {
    refresh.UpdateBarPie();
    EXPECT_EQ(calls, (std::vector<std::string>{"face", "bar list", "white", "pie"}));
    EXPECT_EQ(bar.BarSizes.size(), 20u);
    EXPECT_TRUE(bar.BarDataReady);
    EXPECT_EQ(pie.PiePaths.size(), 21u);
    EXPECT_TRUE(folderChanged);  // the pie build leaves the flag set
}

TEST_F(ViewRefreshTest, NothingHappensWithoutResults) {
    store.FreeSLs();
    refresh.UpdateBarPie();
    EXPECT_TRUE(calls.empty());
    EXPECT_TRUE(bar.BarSizes.empty());
    EXPECT_TRUE(pie.PieNames.empty());
}

TEST_F(ViewRefreshTest, AHiddenPieIsLeftAlone) {
    refresh.PieVisible = [] { return false; };
    refresh.UpdateBarPie();
    EXPECT_EQ(calls, (std::vector<std::string>{"face", "bar list"}));
    EXPECT_TRUE(pie.PieNames.empty());
    EXPECT_FALSE(folderChanged);
}

TEST_F(ViewRefreshTest, EveryRefreshDrawsNewColoursEvenAfterAFixedSeed) {
    SeedRandomColors(7);
    refresh.UpdateBarPie();
    const TStringList barColors = bar.BarColors;
    const TStringList pieColors = pie.PieColors;
    SeedRandomColors(7);
    refresh.UpdateBarPie();
    EXPECT_NE(bar.BarColors, barColors);
    EXPECT_NE(pie.PieColors, pieColors);
}

TEST_F(ViewRefreshTest, WithoutHooksTheRefreshStillBuildsThePie) {
    TViewRefresh plain(store, bar, pie);
    plain.UpdateBarPie();
    EXPECT_EQ(pie.PiePaths.size(), 21u);
    EXPECT_EQ(bar.BarPercents.front(), "4.6");  // 100 of 2190 bytes
}

}  // namespace
