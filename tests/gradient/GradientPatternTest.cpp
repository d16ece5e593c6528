// The pattern layouts of the 24 styles and the rebuild rules of the pattern
// object behind both gradient controls.
#include <gtest/gtest.h>

#include <stdexcept>

#include "views/gradient/GradientPainters.h"
#include "views/gradient/GradientPattern.h"
#include "views/gradient/GradientRamp.h"

namespace {

// With the grey ramp a pixel's byte is its ramp index.
int GreyIndexAt(const QImage& pattern, int x, int y) {
    const std::uint8_t* pixel = pattern.constScanLine(y) + 3 * x;
    EXPECT_EQ(pixel[0], pixel[1]);
    EXPECT_EQ(pixel[1], pixel[2]);
    return pixel[0];
}

// Bytes blue, green, red of a 24-bit picture as a colour 0x00BBGGRR.
TColor ColorAt(const QImage& image, int x, int y) {
    const std::uint8_t* pixel = image.constScanLine(y) + 3 * x;
    return RGBColor(pixel[2], pixel[1], pixel[0]);
}

struct TStyleCase {
    TGradientStyle Style;
    int Width;
    int Height;
    std::vector<std::array<int, 3>> Points;  // x, y, ramp index
};

const std::vector<TStyleCase>& StyleCases() {
    static const std::vector<TStyleCase> cases = {
        {gsRadialC,
         362,
         362,
         {{0, 0, 255},
          {180, 180, 0},
          {181, 180, 0},
          {180, 0, 180},
          {361, 361, 255},
          {181, 181, 1}}},
        {gsRadialT, 362, 181, {{180, 0, 0}, {181, 0, 0}, {0, 180, 255}, {180, 100, 100}}},
        {gsRadialB, 362, 181, {{181, 180, 0}, {180, 0, 180}, {361, 0, 255}}},
        {gsRadialL, 181, 362, {{0, 180, 0}, {0, 181, 0}, {180, 180, 180}, {0, 0, 180}}},
        {gsRadialR, 181, 362, {{180, 180, 0}, {180, 181, 0}, {0, 181, 180}}},
        {gsRadialTL, 181, 181, {{0, 0, 0}, {180, 180, 255}, {3, 4, 5}, {180, 0, 180}}},
        {gsRadialTR, 181, 181, {{180, 0, 0}, {0, 0, 180}, {0, 180, 255}}},
        {gsRadialBL, 181, 181, {{0, 180, 0}, {0, 0, 180}, {180, 0, 255}}},
        {gsRadialBR, 181, 181, {{180, 180, 0}, {177, 176, 5}, {0, 0, 255}}},
        {gsLinearH, 1, 256, {{0, 0, 0}, {0, 77, 77}, {0, 255, 255}}},
        {gsLinearV, 256, 1, {{0, 0, 0}, {200, 0, 200}, {255, 0, 255}}},
        {gsReflectedH, 1, 512, {{0, 0, 255}, {0, 255, 0}, {0, 256, 0}, {0, 511, 255}}},
        {gsReflectedV, 512, 1, {{0, 0, 255}, {255, 0, 0}, {256, 0, 0}, {511, 0, 255}}},
        {gsDiagonalLF, 128, 129, {{127, 0, 0}, {0, 128, 255}, {0, 0, 127}}},
        {gsDiagonalLB, 128, 129, {{0, 0, 0}, {127, 128, 255}, {10, 20, 30}}},
        {gsDiagonalRF, 256, 256, {{0, 0, 0}, {255, 0, 255}, {0, 255, 255}, {90, 100, 10}}},
        {gsDiagonalRB, 256, 256, {{0, 255, 0}, {255, 0, 0}, {0, 0, 255}, {255, 255, 255}}},
        {gsArrowL, 129, 256, {{0, 0, 255}, {128, 127, 0}, {128, 128, 0}, {0, 255, 255}}},
        {gsArrowR, 129, 256, {{0, 127, 0}, {0, 128, 0}, {128, 0, 255}, {128, 255, 255}}},
        {gsArrowU, 256, 129, {{0, 0, 255}, {127, 128, 0}, {128, 128, 0}, {255, 0, 255}}},
        {gsArrowD, 256, 129, {{127, 0, 0}, {128, 0, 0}, {0, 128, 255}, {255, 128, 255}}},
        {gsDiamond,
         256,
         256,
         {{0, 0, 255},
          {127, 127, 1},
          {128, 127, 1},
          {127, 128, 1},
          {128, 128, 1},
          {255, 0, 255},
          {0, 255, 255},
          {255, 255, 255}}},
        {gsButterfly,
         256,
         256,
         {{0, 0, 128},
          {127, 127, 128},
          {128, 0, 255},
          {255, 127, 1},
          {0, 128, 0},
          {127, 255, 254},
          {128, 128, 128},
          {255, 128, 1}}},
    };
    return cases;
}

}  // namespace

TEST(GradientPatternLayout, EveryStyleHasItsSizeAndRampIndexes) {
    const TGradientColors grey = BuildGradientRamp(clBlack, clWhite, 0, 0);
    ASSERT_EQ(StyleCases().size(), static_cast<std::size_t>(kGradientStyleCount - 1));
    for (const TStyleCase& c : StyleCases()) {
        SCOPED_TRACE(static_cast<int>(c.Style));
        QImage pattern;
        PaintGradientPattern(c.Style, grey, pattern);
        ASSERT_EQ(pattern.width(), c.Width);
        ASSERT_EQ(pattern.height(), c.Height);
        ASSERT_EQ(pattern.format(), kGradientImageFormat);
        for (const auto& p : c.Points) {
            EXPECT_EQ(GreyIndexAt(pattern, p[0], p[1]), p[2]) << "at " << p[0] << "," << p[1];
        }
    }
}

TEST(GradientPatternLayout, PixelsTakeRampEntriesInBlueGreenRedOrder) {
    // A ramp with different channels shows whether bytes land in order.
    const TColor c1 = RGBColor(250, 20, 0);
    const TColor c2 = RGBColor(0, 120, 240);
    const TGradientColors ramp = BuildGradientRamp(c1, c2, 0, 0);
    QImage pattern;
    PaintGradientPattern(gsLinearV, ramp, pattern);
    EXPECT_EQ(ColorAt(pattern, 0, 0), c1);
    EXPECT_EQ(ColorAt(pattern, 255, 0), c2);
    EXPECT_EQ(ColorAt(pattern, 100, 0), RGBColor(ramp[100].Red, ramp[100].Green, ramp[100].Blue));
}

TEST(GradientPatternObject, StartsWithTheDefaults) {
    TGradientPattern gradient;
    EXPECT_EQ(gradient.ColorBegin(), clWhite);
    EXPECT_EQ(gradient.ColorEnd(), clBtnFace);
    EXPECT_EQ(gradient.Style(), gsRadialC);
    EXPECT_EQ(gradient.Shift(), 0);
    EXPECT_EQ(gradient.Rotation(), 0);
    EXPECT_FALSE(gradient.Reverse());
    EXPECT_EQ(gradient.Pattern().size(), QSize(362, 362));
    EXPECT_TRUE(gradient.RenderedBitmap().isNull());
    // The button-face end is resolved to a real colour before the ramp is built.
    const TColor face = ColorToRGB(clBtnFace);
    EXPECT_EQ(gradient.Colors()[255], (TGradientEntry{static_cast<std::uint8_t>(BlueOf(face)),
                                                      static_cast<std::uint8_t>(GreenOf(face)),
                                                      static_cast<std::uint8_t>(RedOf(face))}));
    EXPECT_EQ(gradient.Colors()[0], (TGradientEntry{255, 255, 255}));
}

TEST(GradientPatternObject, ShiftAndRotationAreClampedBeforeStoring) {
    TGradientPattern gradient;
    gradient.SetShift(120);
    EXPECT_EQ(gradient.Shift(), 100);
    gradient.SetShift(-101);
    EXPECT_EQ(gradient.Shift(), -100);
    gradient.SetRotation(250);
    EXPECT_EQ(gradient.Rotation(), 100);
    gradient.SetRotation(-1000);
    EXPECT_EQ(gradient.Rotation(), -100);
}

TEST(GradientPatternObject, RebuildsOnlyOnARealChange) {
    TGradientPattern gradient;
    gradient.SetShift(100);
    const auto before = gradient.RebuildCount();
    gradient.SetShift(130);  // clamps to the value it already has
    gradient.SetColorBegin(clWhite);
    gradient.SetColorEnd(clBtnFace);
    gradient.SetStyle(gsRadialC);
    gradient.SetRotation(0);
    gradient.SetReverse(false);
    EXPECT_EQ(gradient.RebuildCount(), before);

    gradient.SetColorBegin(clRed);
    EXPECT_EQ(gradient.RebuildCount(), before + 1);
    gradient.SetStyle(gsDiamond);
    EXPECT_EQ(gradient.RebuildCount(), before + 2);
    EXPECT_EQ(gradient.Pattern().size(), QSize(256, 256));
}

TEST(GradientPatternObject, LoadingBatchesChangesIntoOneRebuild) {
    TGradientPattern gradient;
    const auto before = gradient.RebuildCount();
    gradient.BeginLoad();
    gradient.SetStyle(gsLinearV);
    gradient.SetColorBegin(clBlack);
    gradient.SetColorEnd(clWhite);
    EXPECT_EQ(gradient.RebuildCount(), before);
    EXPECT_EQ(gradient.Pattern().size(), QSize(362, 362));
    gradient.EndLoad();
    EXPECT_EQ(gradient.RebuildCount(), before + 1);
    EXPECT_EQ(gradient.Pattern().size(), QSize(256, 1));
    EXPECT_EQ(ColorAt(gradient.Pattern(), 255, 0), clWhite);
}

TEST(GradientPatternObject, ReverseSwapsTheEndsAndChangesNothingForEqualColours) {
    TGradientPattern gradient;
    gradient.SetStyle(gsLinearH);
    gradient.SetColorBegin(clNavy);
    gradient.SetColorEnd(clYellow);
    gradient.SetReverse(true);
    EXPECT_EQ(ColorAt(gradient.Pattern(), 0, 0), clYellow);
    EXPECT_EQ(ColorAt(gradient.Pattern(), 0, 255), clNavy);

    gradient.SetColorBegin(clTeal);
    gradient.SetColorEnd(clTeal);
    const QImage reversed = gradient.Pattern().copy();
    gradient.SetReverse(false);
    EXPECT_EQ(gradient.Pattern(), reversed);
}

TEST(GradientPatternObject, ShiftMovesTheBeginColourTowardTheEnd) {
    TGradientPattern gradient;
    gradient.SetStyle(gsLinearV);
    gradient.SetColorBegin(clBlack);
    gradient.SetColorEnd(clWhite);
    gradient.SetShift(100);
    EXPECT_EQ(ColorAt(gradient.Pattern(), 0, 0), clWhite);
    gradient.SetShift(-100);
    EXPECT_EQ(ColorAt(gradient.Pattern(), 255, 0), clBlack);
}

TEST(GradientPatternObject, RadialTopLeftRunsFromBeginToTheLastEntry) {
    TGradientPattern gradient;
    gradient.SetColorBegin(RGBColor(10, 200, 30));
    gradient.SetColorEnd(RGBColor(250, 0, 100));
    gradient.SetStyle(gsRadialTL);
    ASSERT_EQ(gradient.Pattern().size(), QSize(181, 181));
    EXPECT_EQ(ColorAt(gradient.Pattern(), 0, 0), RGBColor(10, 200, 30));
    // sqrt(180^2 + 180^2) = 254.56 rounds to the last entry.
    EXPECT_EQ(ColorAt(gradient.Pattern(), 180, 180), RGBColor(250, 0, 100));
}

TEST(GradientPatternObject, CustomWithoutHandlerShowsAnUnshiftedChecker) {
    TGradientPattern gradient(true);
    gradient.SetColorBegin(clRed);
    gradient.SetColorEnd(clBlue);
    gradient.SetShift(60);
    gradient.SetStyle(gsCustom);
    const QImage& pattern = gradient.Pattern();
    ASSERT_EQ(pattern.size(), QSize(2, 2));
    EXPECT_EQ(ColorAt(pattern, 0, 0), clRed);
    EXPECT_EQ(ColorAt(pattern, 1, 1), clRed);
    EXPECT_EQ(ColorAt(pattern, 1, 0), clBlue);
    EXPECT_EQ(ColorAt(pattern, 0, 1), clBlue);
    // Scaled to 200 x 200: four quadrants.
    const QImage& rendered = gradient.RenderedBitmap();
    EXPECT_EQ(ColorAt(rendered, 99, 99), clRed);
    EXPECT_EQ(ColorAt(rendered, 100, 0), clBlue);
    EXPECT_EQ(ColorAt(rendered, 0, 100), clBlue);
    EXPECT_EQ(ColorAt(rendered, 199, 199), clRed);
}

TEST(GradientPatternObject, CustomHandlerPaintsFromTheRampWhileBuilding) {
    TGradientPattern gradient;
    gradient.SetColorBegin(clBlack);
    gradient.SetColorEnd(clWhite);
    int calls = 0;
    bool buildingSeen = false;
    gradient.SetOnCustom([&](QObject* sender, const TGradientColors& colors, QImage& pattern) {
        ++calls;
        EXPECT_EQ(sender, nullptr);
        buildingSeen = gradient.Building();
        pattern = QImage(3, 1, kGradientImageFormat);
        for (int x = 0; x < 3; ++x) {
            const TGradientEntry& e = colors[x * 127];
            std::uint8_t* p = pattern.scanLine(0) + 3 * x;
            p[0] = e.Blue;
            p[1] = e.Green;
            p[2] = e.Red;
        }
    });
    EXPECT_EQ(calls, 0);  // not the custom style yet
    gradient.SetStyle(gsCustom);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(buildingSeen);
    EXPECT_FALSE(gradient.Building());
    EXPECT_EQ(ColorAt(gradient.Pattern(), 1, 0), RGBColor(127, 127, 127));
    EXPECT_EQ(ColorAt(gradient.Pattern(), 2, 0), RGBColor(254, 254, 254));
}

TEST(GradientPatternObject, FailingHandlerPropagatesAndClearsBuilding) {
    TGradientPattern gradient;
    bool fail = true;
    gradient.SetOnCustom([&](QObject*, const TGradientColors&, QImage& pattern) {
        if (fail) {
            throw std::runtime_error("handler failed");
        }
        pattern = QImage(1, 1, kGradientImageFormat);
        pattern.fill(Qt::black);
    });
    EXPECT_THROW(gradient.SetStyle(gsCustom), std::runtime_error);
    EXPECT_FALSE(gradient.Building());
    EXPECT_EQ(gradient.Style(), gsCustom);  // the value was stored before the rebuild
    fail = false;
    gradient.SetColorBegin(clAqua);
    EXPECT_EQ(gradient.Pattern().size(), QSize(1, 1));
}

TEST(GradientPatternObject, RenderedBitmapIsAlways200By200) {
    TGradientPattern gradient(true);
    for (int style = gsRadialC; style < kGradientStyleCount; ++style) {
        gradient.SetStyle(static_cast<TGradientStyle>(style));
        ASSERT_EQ(gradient.RenderedBitmap().size(), QSize(200, 200)) << style;
        ASSERT_EQ(gradient.RenderedBitmap().format(), kGradientImageFormat);
    }
    gradient.SetOnCustom([](QObject*, const TGradientColors&, QImage& pattern) {
        pattern = QImage(7, 3, kGradientImageFormat);
        pattern.fill(Qt::green);
    });
    gradient.SetStyle(gsCustom);
    EXPECT_EQ(gradient.RenderedBitmap().size(), QSize(200, 200));
    EXPECT_EQ(ColorAt(gradient.RenderedBitmap(), 150, 199), clLime);
}

TEST(GradientPatternObject, BarStyleRendersWhiteAtTheTopAndTheBarColourAtTheBottom) {
    // The bar list's settings: horizontal bands, reversed, the bar colour to white.
    TGradientPattern gradient(true);
    gradient.SetStyle(gsLinearH);
    gradient.SetReverse(true);
    gradient.SetColorEnd(clWhite);
    const TColor bar = RGBColor(30, 144, 255);
    gradient.SetColorBegin(bar);
    const QImage& rendered = gradient.RenderedBitmap();
    EXPECT_EQ(ColorAt(rendered, 0, 0), clWhite);
    EXPECT_EQ(ColorAt(rendered, 199, 0), clWhite);
    EXPECT_EQ(ColorAt(rendered, 0, 199), bar);
    EXPECT_EQ(ColorAt(rendered, 123, 199), bar);
    // Each row is one band: a single colour across.
    for (int x = 1; x < 200; ++x) {
        ASSERT_EQ(ColorAt(rendered, x, 100), ColorAt(rendered, 0, 100));
    }
    // The next bar's colour reaches the rendering at once.
    gradient.SetColorBegin(clRed);
    EXPECT_EQ(ColorAt(gradient.RenderedBitmap(), 5, 199), clRed);
}

TEST(GradientStretch, SamplesAtPixelCentres) {
    QImage source(4, 1, kGradientImageFormat);
    for (int x = 0; x < 4; ++x) {
        std::uint8_t* p = source.scanLine(0) + 3 * x;
        p[0] = p[1] = p[2] = static_cast<std::uint8_t>(x * 10);
    }
    QImage target;
    StretchGradientImage(source, 8, 2, target);
    ASSERT_EQ(target.size(), QSize(8, 2));
    const int expected[8] = {0, 0, 10, 10, 20, 20, 30, 30};
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(target.constScanLine(1)[3 * x], expected[x]) << x;
    }
    // Shrinking keeps both ends reachable.
    QImage shrunk;
    StretchGradientImage(source, 3, 1, shrunk);
    EXPECT_EQ(shrunk.constScanLine(0)[0], 0);
    EXPECT_EQ(shrunk.constScanLine(0)[6], 30);
}
