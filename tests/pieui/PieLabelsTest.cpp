// The legend's texts and places: the name cut, the 10-degree rule, "Other"
// only for a visible remainder, and labels in their slices' directions.
#include <gtest/gtest.h>

#include <QList>
#include <cmath>

#include "views/pie/PieLabels.h"

namespace {

const TPieGeometry kPie{250, 50, 50};  // centre (175, 175)

// Whole-degree direction of a label's reference point (its corner moved back
// by the 10-pixel offset) as seen from the pie's centre.
double LabelDirection(const TPieLegendEntry& label) {
    const double dx = label.nameLeft + 10 - kPie.CentreX();
    const double dy = label.nameTop + 10 - kPie.CentreY();
    double deg = std::atan2(dx, dy) * 180.0 / M_PI + 90.0;  // inverse of the placement
    while (deg < 0)
        deg += 360;
    return deg;
}

}  // namespace

TEST(LegendNameText, CutsFifteenCharactersAndKeepsFourteen) {
    EXPECT_EQ(LegendNameText("Fifteen_chars_1"), QString("Fifteen_char..."));
    EXPECT_EQ(LegendNameText("Fourteen_chars"), QString("Fourteen_chars"));
    EXPECT_EQ(LegendNameText("A much longer folder name"), QString("A much longe..."));
    EXPECT_EQ(LegendNameText(""), QString(""));
}

TEST(LegendNameText, ShowsEscapedBytesAsTheFileSystemNamesThem) {
    EXPECT_EQ(LegendNameText("100%25 done"), QString("100% done"));
    EXPECT_EQ(LegendNameText("back%5Cslash"), QString("back\\slash"));
    // The cut counts the name's own characters, not its escapes.
    EXPECT_EQ(LegendNameText("%25%25%25%25%25%25%25%25%25%25%25%25%25"), QString("%%%%%%%%%%%%%"));
}

TEST(LegendNameText, CountsCharactersNotBytes) {
    // 14 characters, 28 bytes in UTF-8: shown whole.
    EXPECT_EQ(LegendNameText("ЖЖЖЖЖЖЖЖЖЖЖЖЖЖ"), QString::fromUtf8("ЖЖЖЖЖЖЖЖЖЖЖЖЖЖ"));
    // 15 characters beyond the basic plane: cut after 12 whole characters.
    std::string emoji;
    for (int i = 0; i < 15; ++i)
        emoji += "\xF0\x9F\x93\x81";  // U+1F4C1, two UTF-16 units
    const QString cut = LegendNameText(emoji);
    EXPECT_EQ(cut.toUcs4().size(), 15);
    EXPECT_TRUE(cut.endsWith("..."));
    EXPECT_EQ(cut.left(24), QString::fromUtf8(emoji.substr(0, 48).c_str()));
}

TEST(LegendRadius, IsLimitedTo40Through300) {
    EXPECT_EQ(LegendRadius(140), 140);
    EXPECT_EQ(LegendRadius(10), 40);
    EXPECT_EQ(LegendRadius(301), 300);
}

TEST(LayoutPieLegend, ShowsNamesAndSizesOfWideSlicesAndOtherForTheRemainder) {
    const TStringList names{"C:", "Windows", "Program files"};
    const TStringList percents{"0", "50", "25"};
    const auto legend = LayoutPieLegend(kPie, 140, names, percents);
    ASSERT_EQ(legend.size(), 3u);
    EXPECT_EQ(legend[0].entry, 1);
    EXPECT_EQ(legend[0].nameText, QString("Windows"));
    EXPECT_TRUE(legend[0].hasSizeLabel);
    EXPECT_TRUE(legend[0].sizeShown);
    EXPECT_EQ(legend[1].nameText, QString("Program files"));
    EXPECT_EQ(legend[2].entry, 3);
    EXPECT_EQ(legend[2].nameText, QString("Other"));
    EXPECT_FALSE(legend[2].hasSizeLabel);
}

TEST(LayoutPieLegend, PlacesEachLabelInTheMiddleOfItsSlice) {
    const TStringList names{"C:", "Half", "Quarter"};
    const TStringList percents{"0", "50", "25"};
    const auto legend = LayoutPieLegend(kPie, 140, names, percents);
    // Half: 0..180, middle 90 (straight down): x = 175 + 0 - 10, y = 175 + 140 - 10.
    EXPECT_EQ(legend[0].nameLeft, 165);
    EXPECT_EQ(legend[0].nameTop, 305);
    // Quarter: 180..270, middle 225 (up right).
    EXPECT_NEAR(LabelDirection(legend[1]), 225.0, 1.0);
    // Other: 270..360, middle 315 (up left).
    EXPECT_NEAR(LabelDirection(legend[2]), 315.0, 1.0);
    // The radius is the label radius, whatever the zoom.
    const TPieGeometry big{750, 50, 50};
    const auto zoomed = LayoutPieLegend(big, 140, names, percents);
    EXPECT_EQ(zoomed[0].nameLeft, big.CentreX() - 10);
    EXPECT_EQ(zoomed[0].nameTop, big.CentreY() + 140 - 10);
}

TEST(LayoutPieLegend, SlicesUnderTenDegreesGetEmptyLabelsThatStillExist) {
    // 2.5 % is 9 degrees; 2.8 % is 10.08 degrees.
    const TStringList names{"X", "Narrow", "Wide enough", "Big"};
    const TStringList percents{"0", "2.5", "2.8", "90"};
    const auto legend = LayoutPieLegend(kPie, 140, names, percents);
    ASSERT_EQ(legend.size(), 4u);
    EXPECT_TRUE(legend[0].nameText.isEmpty());
    EXPECT_TRUE(legend[0].hasSizeLabel);
    EXPECT_FALSE(legend[0].sizeShown);
    EXPECT_EQ(legend[1].nameText, QString("Wide enough"));
    EXPECT_TRUE(legend[1].sizeShown);
    // The empty label still sits in its slice's direction, to be clicked.
    EXPECT_NEAR(LabelDirection(legend[0]), 4.5, 1.0);
}

TEST(LayoutPieLegend, OtherOnlyWhenTheSlicesCoverLessThan359Degrees) {
    const TStringList names{"X", "A", "B"};
    // 99.6 % is 358.56 degrees: a remainder of 1.44 degrees gets "Other".
    auto legend = LayoutPieLegend(kPie, 140, names, {"0", "50", "49.6"});
    EXPECT_EQ(legend.back().nameText, QString("Other"));
    // 99.75 % is 359.1 degrees: the last label stays empty.
    legend = LayoutPieLegend(kPie, 140, names, {"0", "50", "49.75"});
    ASSERT_EQ(legend.size(), 3u);
    EXPECT_TRUE(legend.back().nameText.isEmpty());
    EXPECT_FALSE(legend.back().hasSizeLabel);
}

TEST(LayoutPieLegend, OnlyEntryZeroGetsOneOtherLabelOnTheRight) {
    const auto legend = LayoutPieLegend(kPie, 140, {"C:"}, {"0"});
    ASSERT_EQ(legend.size(), 1u);
    EXPECT_EQ(legend[0].nameText, QString("Other"));
    // Middle of 0..360 is 180: straight right of the centre.
    EXPECT_EQ(legend[0].nameLeft, 175 + 140 - 10);
    EXPECT_EQ(legend[0].nameTop, 175 - 10);
}

TEST(LayoutPieLegend, CaptionIsCentredOnThePie) {
    EXPECT_EQ(CaptionLeft(kPie, 40), 155);
    EXPECT_EQ(CaptionTop(kPie, 27), 162);
}
