// The colour ramp: rounding of MulDiv, shift, rotation and the grey ramp.
#include <gtest/gtest.h>

#include "views/gradient/GradientRamp.h"

namespace {

TGradientEntry Entry(TColor color) {
    return {static_cast<std::uint8_t>(BlueOf(color)), static_cast<std::uint8_t>(GreenOf(color)),
            static_cast<std::uint8_t>(RedOf(color))};
}

}  // namespace

TEST(MulDiv, RoundsHalvesAwayFromZero) {
    EXPECT_EQ(MulDiv(255, 50, 100), 128);
    EXPECT_EQ(MulDiv(255, -50, 100), -128);
    EXPECT_EQ(MulDiv(5, 1, 2), 3);
    EXPECT_EQ(MulDiv(-5, 1, 2), -3);
    EXPECT_EQ(MulDiv(5, 1, -2), -3);
    EXPECT_EQ(MulDiv(7, 1, 3), 2);    // 2.33 rounds down
    EXPECT_EQ(MulDiv(-7, 1, 3), -2);  // -2.33 rounds toward zero
    EXPECT_EQ(MulDiv(255, 33, 100), 84);
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
}

TEST(MulDiv, KeepsAWideIntermediate) {
    EXPECT_EQ(MulDiv(2000000000, 3, 4), 1500000000);
    EXPECT_EQ(MulDiv(-2000000000, 2000000000, 2000000000), -2000000000);
}

TEST(GradientRamp, BlackToWhiteIsTheGreyRamp) {
    const TGradientColors ramp = BuildGradientRamp(clBlack, clWhite, 0, 0);
    for (int i = 0; i < 256; ++i) {
        const auto v = static_cast<std::uint8_t>(i);
        ASSERT_EQ(ramp[i], (TGradientEntry{v, v, v})) << "entry " << i;
    }
}

TEST(GradientRamp, ChannelsFollowTheirOwnColours) {
    const TColor c1 = RGBColor(200, 10, 0);
    const TColor c2 = RGBColor(0, 110, 255);
    const TGradientColors ramp = BuildGradientRamp(c1, c2, 0, 0);
    EXPECT_EQ(ramp[0], Entry(c1));
    EXPECT_EQ(ramp[255], Entry(c2));
    // Red falls, integer division truncating toward zero: 200 + 100 * -200 / 255.
    EXPECT_EQ(ramp[100].Red, 200 - 78);
    EXPECT_EQ(ramp[100].Green, 10 + 39);
    EXPECT_EQ(ramp[100].Blue, 100);
}

TEST(GradientRamp, FullShiftGivesOneColour) {
    const TColor c1 = RGBColor(10, 20, 30);
    const TColor c2 = RGBColor(250, 140, 0);
    const TGradientColors toEnd = BuildGradientRamp(c1, c2, 100, 0);
    const TGradientColors toBegin = BuildGradientRamp(c1, c2, -100, 0);
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(toEnd[i], Entry(c2)) << i;
        ASSERT_EQ(toBegin[i], Entry(c1)) << i;
    }
}

TEST(GradientRamp, HalfShiftMovesOneEndHalfway) {
    const TGradientColors up = BuildGradientRamp(clBlack, clWhite, 50, 0);
    EXPECT_EQ(up[0].Red, 128);  // MulDiv(255, 50, 100)
    EXPECT_EQ(up[255].Red, 255);
    const TGradientColors down = BuildGradientRamp(clBlack, clWhite, -50, 0);
    EXPECT_EQ(down[0].Red, 0);
    EXPECT_EQ(down[255].Red, 127);  // 255 + MulDiv(255, -50, 100)
}

TEST(GradientRamp, FullRotationEitherWayRunsFromEndToBegin) {
    const TColor c1 = RGBColor(0, 64, 255);
    const TColor c2 = RGBColor(255, 192, 0);
    for (int rotation : {100, -100}) {
        const TGradientColors ramp = BuildGradientRamp(c1, c2, 0, rotation);
        EXPECT_EQ(ramp[0], Entry(c2)) << rotation;
        EXPECT_EQ(ramp[255], Entry(c1)) << rotation;
        for (int i = 1; i < 256; ++i) {
            ASSERT_LE(ramp[i].Red, ramp[i - 1].Red) << "rotation " << rotation << " at " << i;
        }
    }
}

TEST(GradientRamp, HalfRotationRisesToTheEndColourAndFallsBack) {
    const TGradientColors ramp = BuildGradientRamp(clBlack, clWhite, 0, 50);
    EXPECT_EQ(ramp[0].Red, 0);
    EXPECT_EQ(ramp[127].Red, 255);
    EXPECT_EQ(ramp[255].Red, 0);
    // Rotation 50 puts the peak at 255 - 128 = 127: 64 of 127 steps up is
    // 128.5, cut to 128; 55 of 128 steps down from 255 is 109.6, cut to 109.
    EXPECT_EQ(ramp[64].Red, 128);
    EXPECT_EQ(ramp[200].Red, 109);
}

TEST(GradientRamp, NegativeHalfRotationFallsToTheBeginColourAndClimbsBack) {
    const TGradientColors ramp = BuildGradientRamp(clBlack, clWhite, 0, -50);
    // m = 128: the end colour at 0 and 255, the begin colour at 128.
    EXPECT_EQ(ramp[0].Red, 255);
    EXPECT_EQ(ramp[128].Red, 0);
    EXPECT_EQ(ramp[255].Red, 255);
}

TEST(GradientRamp, OutOfRangeShiftAndRotationAreClamped) {
    EXPECT_EQ(BuildGradientRamp(clRed, clBlue, 150, 0), BuildGradientRamp(clRed, clBlue, 100, 0));
    EXPECT_EQ(BuildGradientRamp(clRed, clBlue, 0, -400), BuildGradientRamp(clRed, clBlue, 0, -100));
}
