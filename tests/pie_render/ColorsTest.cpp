// Lightness changes and the colour texts kept in the bar and pie lists.
#include <gtest/gtest.h>

#include "views/common/Colors.h"
#include "views/common/ConvertError.h"

TEST(ChangeLightness, Amount100MapsZeroTo99AndKeepsTheTop) {
    EXPECT_EQ(ChangeLightness(RGBColor(0, 254, 128), 100), RGBColor(99, 254, 177));
    EXPECT_EQ(ChangeLightness(clWhite, 100), clWhite);
    EXPECT_EQ(ChangeLightness(clBlack, 100), RGBColor(99, 99, 99));
}

TEST(ChangeLightness, NegativeAmountsDarkenAndZeroKeeps) {
    EXPECT_EQ(ChangeLightness(RGBColor(200, 100, 10), 0), RGBColor(200, 100, 10));
    // i - (a * i >> 8) with a = 128: 200 -> 100, 100 -> 50, 10 -> 5.
    EXPECT_EQ(ChangeLightness(RGBColor(200, 100, 10), -128), RGBColor(100, 50, 5));
    EXPECT_EQ(ChangeLightness(clWhite, -255), RGBColor(1, 1, 1));
}

TEST(ChangeLightness, AmountIsLimitedTo255EitherWay) {
    const TColor c = RGBColor(17, 130, 240);
    EXPECT_EQ(ChangeLightness(c, 1000), ChangeLightness(c, 255));
    EXPECT_EQ(ChangeLightness(c, -1000), ChangeLightness(c, -255));
    EXPECT_NE(ChangeLightness(c, 255), ChangeLightness(c, 254));
}

TEST(LightnessTable, TakesAmountsBeyond255AndClamps) {
    const auto table = LightnessTable(600);
    EXPECT_EQ(table[0], 255);  // 0 + 255 * 600 >> 8 = 597, clamped
    EXPECT_EQ(table[255], 255);
    const auto dark = LightnessTable(-600);
    EXPECT_EQ(dark[255], 0);  // 255 - 597, clamped
    EXPECT_EQ(dark[0], 0);
}

TEST(ColorText, StandardColoursAreWrittenByName) {
    EXPECT_EQ(ColorToString(clRed), "clRed");
    EXPECT_EQ(ColorToString(clWhite), "clWhite");
    EXPECT_EQ(ColorToString(clBlack), "clBlack");
    EXPECT_EQ(ColorToString(clMoneyGreen), "clMoneyGreen");
    EXPECT_EQ(ColorToString(clBtnFace), "clBtnFace");
}

TEST(ColorText, OtherColoursAreDollarAndEightHexDigits) {
    EXPECT_EQ(ColorToString(RGBColor(0x12, 0xAB, 0x3C)), "$003CAB12");
    EXPECT_EQ(ColorToString(0x00000001u), "$00000001");
}

TEST(ColorText, ReadsBackEveryWrittenColour) {
    for (TColor c : {clBlack, clRed, clSkyBlue, RGBColor(1, 2, 3), RGBColor(254, 254, 254),
                     RGBColor(99, 0, 255), clBtnFace}) {
        EXPECT_EQ(StringToColor(ColorToString(c)), c) << ColorToString(c);
    }
    for (TColor c = 0; c < 0x1000000u; c += 0x10101u * 7 + 3) {
        ASSERT_EQ(StringToColor(ColorToString(c)), c);
    }
}

TEST(ColorText, AcceptsNamesInAnyCaseAndPlainNumbers) {
    EXPECT_EQ(StringToColor("CLRED"), clRed);
    EXPECT_EQ(StringToColor("clwhite"), clWhite);
    EXPECT_EQ(StringToColor("$ff"), 0xFFu);
    EXPECT_EQ(StringToColor("0x00FF00"), clLime);
    EXPECT_EQ(StringToColor("255"), 255u);
    EXPECT_EQ(StringToColor("-1"), 0xFFFFFFFFu);
}

TEST(ColorText, RejectsMalformedTexts) {
    for (const char* text :
         {"", "$", "clPink", "12a", "$1234567890", "0x", "2147483648", "$G0", " 12", "red"}) {
        EXPECT_THROW(StringToColor(text), EConvertError) << "'" << text << "'";
    }
}

TEST(ColorToRGB, ResolvesSystemColoursAndKeepsOthers) {
    EXPECT_EQ(ColorToRGB(RGBColor(1, 2, 3)), RGBColor(1, 2, 3));
    EXPECT_EQ(ColorToRGB(clBtnFace) & 0xFF000000u, 0u);
    EXPECT_EQ(ColorToRGB(clSystemColor | 0x77), clBlack);  // no such system colour
}
