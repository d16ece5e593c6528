// The legend's texts and places: the name cut, the 10-degree rule, "Other"
// only for a visible remainder, and labels in their slices' directions.
#include <gtest/gtest.h>

#include <QList>
#include <cmath>
#include <vector>

#include "views/pie/PieLabels.h"

namespace {

const TPieGeometry kLabelPie{250, 50, 50};  // centre (175, 175)

// Whole-degree direction of a label's reference point (its corner moved back
// by the 10-pixel offset) as seen from the pie's centre.
double LabelDirection(const TPieLegendEntry& label) {
    const double dx = label.nameLeft + 10 - kLabelPie.CentreX();
    const double dy = label.nameTop + 10 - kLabelPie.CentreY();
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

TEST(LayoutPieLegend, PlacesEachLabelInTheMiddleOfItsSlice) {
    const TStringList names{"C:", "Half", "Quarter"};
    const TStringList percents{"0", "50", "25"};
    const auto legend = LayoutPieLegend(kLabelPie, 140, names, percents);
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

// A slice of 10 degrees or more shows its name and size; a narrower one
// keeps both labels, empty, so they can still be clicked.
TEST(LayoutPieLegend, SlicesUnderTenDegreesGetEmptyLabels) {
    struct Row {
        const char* what;
        TStringList percents;  // entry 0 first
        std::vector<bool> shown;
    };
    const Row rows[] = {
        // 25 % is 90 degrees; 2.7777777 % sweeps from 90 to exactly 100.
        {"exactly 10 degrees", {"0", "25", "2.7777777"}, {true, true}},
        {"9.72 degrees", {"0", "25", "2.7"}, {true, false}},
        {"9 and 10.08 degrees", {"0", "2.5", "2.8", "90"}, {false, true, true}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TStringList names{"X"};
        for (std::size_t r = 1; r < row.percents.size(); ++r) {
            names.push_back("S" + std::to_string(r));
        }
        const auto legend = LayoutPieLegend(kLabelPie, 140, names, row.percents);
        ASSERT_EQ(legend.size(), row.percents.size());
        for (std::size_t r = 0; r < row.shown.size(); ++r) {
            EXPECT_EQ(legend[r].entry, static_cast<int>(r) + 1);
            EXPECT_TRUE(legend[r].hasSizeLabel) << r;
            EXPECT_EQ(legend[r].sizeShown, row.shown[r]) << r;
            EXPECT_EQ(legend[r].nameText,
                      row.shown[r] ? QString::fromStdString(std::string(names[r + 1])) : QString())
                << r;
        }
    }
    // An empty label still sits in its slice's direction (0..9 degrees).
    const auto legend = LayoutPieLegend(kLabelPie, 140, {"X", "A", "B"}, {"0", "2.5", "90"});
    EXPECT_NEAR(LabelDirection(legend[0]), 4.5, 1.0);
}

// The remainder gets "Other" only while the slices cover less than 359
// degrees; at 359 and beyond its label stays empty and has no size label.
TEST(LayoutPieLegend, OtherOnlyWhenTheSlicesCoverLessThan359Degrees) {
    struct Row {
        const char* what;
        const char* second;  // percent of the second slice after one of 50 %
        bool other;
    };
    const Row rows[] = {
        {"358.56 degrees", "49.6", true},
        {"exactly 359 degrees", "49.7222222", false},
        {"359.1 degrees", "49.75", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const auto legend =
            LayoutPieLegend(kLabelPie, 140, {"X", "A", "B"}, {"0", "50", row.second});
        ASSERT_EQ(legend.size(), 3u);
        EXPECT_EQ(legend.back().entry, 3);
        EXPECT_EQ(legend.back().nameText, row.other ? QString("Other") : QString());
        EXPECT_FALSE(legend.back().hasSizeLabel);
    }
}

TEST(LayoutPieLegend, OnlyEntryZeroGetsOneOtherLabelOnTheRight) {
    const auto legend = LayoutPieLegend(kLabelPie, 140, {"C:"}, {"0"});
    ASSERT_EQ(legend.size(), 1u);
    EXPECT_EQ(legend[0].nameText, QString("Other"));
    // Middle of 0..360 is 180: straight right of the centre.
    EXPECT_EQ(legend[0].nameLeft, 175 + 140 - 10);
    EXPECT_EQ(legend[0].nameTop, 175 - 10);
}

TEST(LayoutPieLegend, CaptionIsCentredOnThePie) {
    EXPECT_EQ(CaptionLeft(kLabelPie, 40), 155);
    EXPECT_EQ(CaptionTop(kLabelPie, 27), 162);
}
