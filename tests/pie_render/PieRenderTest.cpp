// Pixels of drawn pies: slice geometry and angles, the bevel rim, the
// remainder, overlapping slices, the fills of folders, files and special
// files, and the finished picture.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "views/common/ConvertError.h"
#include "views/gradient/GradientPattern.h"
#include "views/pie/DrawDataPie.h"
#include "views/pie/Logos.h"
#include "views/pie/PiePicture.h"
#include "views/pie/PieRender.h"

namespace {

constexpr TColor kOther = RGBColor(20, 40, 230);
constexpr double kPi = 3.14159265358979323846;

class PieDrawing : public ::testing::Test {
  protected:
    void SetUp() override { AddEntry("C:\\cur", "0.0", clBlack); }

    void AddEntry(const std::string& path, const std::string& percent, TColor color) {
        Paths.push_back(path);
        Names.push_back(path);
        Percents.push_back(percent);
        Colors.push_back(ColorToString(color));
    }

    void Prepare(int zoom = 100) {
        Data.OtherColor = kOther;
        DefaultPieData(Data, zoom, &Bitmap, nullptr, &Colors, &Percents, &Names);
    }

    // Slices only, no shading: every pixel keeps its exact fill colour.
    void DrawSlices(const TPieFileProbe* probe = nullptr) {
        Prepare();
        BeforePieDraw(Data);
        DrawBeveledPie(Data, PieBitmapDiameter(Data), TPieFiles{&Paths, probe});
    }

    std::uint32_t Word(int x, int y) const {
        return reinterpret_cast<const std::uint32_t*>(Bitmap.constScanLine(y))[x];
    }
    TColor ColorAt(int x, int y) const {
        const std::uint32_t w = Word(x, y);
        return RGBColor((w >> 16) & 0xFF, (w >> 8) & 0xFF, w & 0xFF);
    }
    // The pixel at `angle` (0 at nine o'clock, counterclockwise on screen)
    // and `radius` from the centre of the pie at zoom 100.
    QPoint At(double angle, double radius) const {
        const double centre = 50 + 750 / 2.0 - 0.5;
        const double a = angle * kPi / 180.0;
        return QPoint(static_cast<int>(std::lround(centre - radius * std::cos(a))),
                      static_cast<int>(std::lround(centre + radius * std::sin(a))));
    }
    TColor ColorAtAngle(double angle, double radius) const {
        const QPoint p = At(angle, radius);
        return ColorAt(p.x(), p.y());
    }
    int CountColour(TColor color) const {
        int count = 0;
        for (int y = 0; y < Bitmap.height(); ++y) {
            for (int x = 0; x < Bitmap.width(); ++x) {
                count += ColorAt(x, y) == color && (Word(x, y) >> 24) == 0xFF;
            }
        }
        return count;
    }

    TStringList Colors, Percents, Names, Paths;
    QImage Bitmap;
    TDrawDataPie Data;
};

}  // namespace

TEST(PieGeometry, RadialEndsStartAtNineOClockAndTurnCounterclockwise) {
    EXPECT_EQ(PieRadialEnd(0.0f, 50, 50, 750), QPoint(50, 425));
    EXPECT_EQ(PieRadialEnd(90.0f, 50, 50, 750), QPoint(425, 800));
    EXPECT_EQ(PieRadialEnd(180.0f, 50, 50, 750), QPoint(800, 425));
    EXPECT_EQ(PieRadialEnd(270.0f, 50, 50, 750), QPoint(425, 50));
    // 45 degrees: sin(-45) * 375 = -265.16 truncates toward zero to -265.
    EXPECT_EQ(PieRadialEnd(45.0f, 50, 50, 750), QPoint(50 - 265 + 375, 50 + 265 + 375));
}

TEST(PieGeometry, DefaultsFollowTheZoomAndKeepTheOtherColour) {
    TDrawDataPie data;
    data.OtherColor = clTeal;
    data.HoveredPath = "C:\\x";
    data.AngleOverflow = true;
    data.LeftMargin = 3;
    TStringList list;
    DefaultPieData(data, 100, nullptr, nullptr, &list, &list, &list);
    EXPECT_EQ(data.D, 250);
    EXPECT_EQ(PieBitmapDiameter(data), 750);
    EXPECT_EQ(data.LeftMargin, 50);
    EXPECT_EQ(data.TopMargin, 50);
    EXPECT_EQ(data.BevelDepth, 3);
    EXPECT_EQ(data.FontSize, 7);
    EXPECT_EQ(data.LabelRadius, 140);
    EXPECT_TRUE(data.UniformBevel);
    EXPECT_EQ(data.LightnessStep, 10);
    EXPECT_EQ(data.InsetPerPass, 1);
    EXPECT_EQ(data.FontName, "Tahoma");
    EXPECT_FLOAT_EQ(data.Supersampling, 3.0f);
    EXPECT_FALSE(data.AngleOverflow);
    EXPECT_EQ(data.OtherColor, clTeal);
    EXPECT_EQ(data.HoveredPath, "C:\\x");
    DefaultPieData(data, 300, nullptr, nullptr, &list, &list, &list);
    EXPECT_EQ(data.D, 750);
    EXPECT_EQ(PieBitmapDiameter(data), 2250);
    DefaultPieData(data, 20, nullptr, nullptr, &list, &list, &list);
    EXPECT_EQ(data.D, 50);
    EXPECT_EQ(PieDiameterForZoom(140), 350);
    EXPECT_EQ(PieDiameterForZoom(-20), 0);
}

TEST_F(PieDrawing, EmptyListsDrawNothing) {
    Percents.clear();
    Prepare();
    EXPECT_FALSE(PieOK(Data));
    EXPECT_FALSE(DrawPie(Data, TPieFiles{&Paths, nullptr}).isValid());
    EXPECT_TRUE(Bitmap.isNull());
}

TEST_F(PieDrawing, BitmapIsThePieAtThreeTimesPlusMarginsClearedToWhite) {
    Prepare(300);
    BeforePieDraw(Data);
    EXPECT_EQ(Bitmap.size(), QSize(2350, 2350));
    EXPECT_EQ(Bitmap.format(), QImage::Format_ARGB32);
    Prepare(100);
    BeforePieDraw(Data);
    ASSERT_EQ(Bitmap.size(), QSize(850, 850));
    EXPECT_EQ(Word(0, 0), 0x00FFFFFFu);
    EXPECT_EQ(Word(424, 424), 0x00FFFFFFu);
    EXPECT_EQ(Word(849, 849), 0x00FFFFFFu);
}

TEST_F(PieDrawing, AQuarterSliceCoversTheLowerLeftQuadrant) {
    const TColor red = RGBColor(200, 30, 30);
    AddEntry("C:\\cur\\a", "25", red);
    DrawSlices();
    EXPECT_FALSE(Data.AngleOverflow);
    for (double angle : {3.0, 45.0, 87.0}) {
        for (double radius : {30.0, 200.0, 360.0}) {
            EXPECT_EQ(ColorAtAngle(angle, radius), red) << angle << " at " << radius;
        }
    }
    for (double angle : {93.0, 135.0, 225.0, 315.0, 357.0}) {
        EXPECT_EQ(ColorAtAngle(angle, 200), kOther) << angle;
    }
    // Lower-left quadrant in plain pixel terms.
    EXPECT_EQ(ColorAt(200, 650), red);
    EXPECT_EQ(ColorAt(650, 650), kOther);
    EXPECT_EQ(ColorAt(200, 200), kOther);
}

TEST_F(PieDrawing, PlaceholderIsAFullDiscWithALighterRim) {
    Percents.Set(0, "100");
    DrawSlices();
    const TColor rim = ChangeLightness(kOther, 10);
    // Centre rows and columns: white, rim, body ... body, rim, white.
    for (int c : {424, 425}) {
        EXPECT_EQ(Word(49, c), 0x00FFFFFFu);
        EXPECT_EQ(ColorAt(50, c), rim);
        EXPECT_EQ(ColorAt(51, c), kOther);
        EXPECT_EQ(ColorAt(798, c), kOther);
        EXPECT_EQ(ColorAt(799, c), rim);
        EXPECT_EQ(Word(800, c), 0x00FFFFFFu);
        EXPECT_EQ(Word(c, 49), 0x00FFFFFFu);
        EXPECT_EQ(ColorAt(c, 50), rim);
        EXPECT_EQ(ColorAt(c, 51), kOther);
        EXPECT_EQ(ColorAt(c, 799), rim);
        EXPECT_EQ(Word(c, 800), 0x00FFFFFFu);
    }
    for (double angle = 0; angle < 360; angle += 7.5) {
        ASSERT_EQ(ColorAtAngle(angle, 300), kOther) << angle;
        ASSERT_EQ(ColorAtAngle(angle, 5), kOther) << angle;
    }
}

TEST_F(PieDrawing, PlaceholderKeepsItsRimAndWhiteBackgroundWhenShaded) {
    Percents.Set(0, "100");
    Prepare();
    TGradientPattern gradient(true);
    SetPieGradientProperties(gradient);
    Data.Gradient = &gradient;
    EXPECT_EQ(DrawPie(Data, TPieFiles{&Paths, nullptr}), QSize(350, 350));
    EXPECT_EQ(ColorAt(50, 424), ChangeLightness(kOther, 10));
    EXPECT_EQ(ColorAt(52, 424), kOther);  // inside the rim, outside the overlay
    for (QPoint corner : {QPoint(0, 0), QPoint(849, 0), QPoint(0, 849), QPoint(849, 849),
                          QPoint(120, 120), QPoint(730, 730)}) {
        EXPECT_EQ(Word(corner.x(), corner.y()), 0x00FFFFFFu) << corner.x() << "," << corner.y();
    }
    // The centre light lifts the middle: each channel c becomes at least
    // c + (255 - c) * 100 >> 8.
    EXPECT_GE(RedOf(ColorAt(424, 424)), RedOf(kOther) + ((255 - RedOf(kOther)) * 100 >> 8));
}

TEST_F(PieDrawing, SlicesOf359AndAHalfDegreesLeaveTheWhiteGap) {
    AddEntry("C:\\cur\\a", "50", RGBColor(200, 30, 30));
    AddEntry("C:\\cur\\b", "49.861111", RGBColor(30, 160, 30));
    DrawSlices();
    EXPECT_EQ(CountColour(kOther), 0);
    EXPECT_EQ(CountColour(ChangeLightness(kOther, 10)), 0);
    // The gap lies just above the nine o'clock radial, widest at the rim.
    int white = 0;
    for (int x = 60; x < 120; ++x) {
        for (int y = 418; y <= 424; ++y) {
            white += Word(x, y) == 0x00FFFFFFu;
        }
    }
    EXPECT_GT(white, 10);
}

TEST_F(PieDrawing, MoreThanOneDegreeLeftIsDrawnAsTheRemainder) {
    AddEntry("C:\\cur\\a", "50", RGBColor(200, 30, 30));
    AddEntry("C:\\cur\\b", "49.583333", RGBColor(30, 160, 30));  // 358.5 degrees in all
    DrawSlices();
    EXPECT_GT(CountColour(kOther), 100);
}

TEST_F(PieDrawing, SlicesPast362DegreesOverlapTheFirstAndDropTheRemainder) {
    const TColor first = RGBColor(200, 30, 30);
    const TColor second = RGBColor(30, 160, 30);
    AddEntry("C:\\cur\\a", "60", first);   // 0..216
    AddEntry("C:\\cur\\b", "50", second);  // 216..396, over 0..36 again
    DrawSlices();
    EXPECT_TRUE(Data.AngleOverflow);
    EXPECT_EQ(CountColour(kOther), 0);
    EXPECT_EQ(ColorAtAngle(20, 200), second);
    EXPECT_EQ(ColorAtAngle(100, 200), first);
    EXPECT_EQ(ColorAtAngle(200, 200), first);
    EXPECT_EQ(ColorAtAngle(300, 200), second);
}

TEST_F(PieDrawing, AnAbsurdPercentStillDrawsAndFlagsTheOverflow) {
    // 1e30 % turns the running angle far past any whole number of turns.
    AddEntry("C:\\cur\\a", "1e30", clRed);
    AddEntry("C:\\cur\\b", "50", clLime);
    DrawSlices();
    EXPECT_TRUE(Data.AngleOverflow);
    EXPECT_GT(CountColour(clRed), 0);
    EXPECT_EQ(CountColour(kOther), 0);
}

// Rounding may carry the slices a little past a full turn; only past 362
// degrees is that an overflow.
TEST_F(PieDrawing, AnglesOverflowOnlyPast362Degrees) {
    struct Row {
        const char* what;
        const char* second;  // percent of the second slice after one of 60 %
        bool overflow;
    };
    const Row rows[] = {
        {"361.8 degrees", "40.5", false},
        // 216 + 146 degrees, exactly 362 in single precision.
        {"exactly 362 degrees", "40.5555555", false},
        {"362.16 degrees", "40.6", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Colors.resize(1);
        Percents.resize(1);
        Names.resize(1);
        Paths.resize(1);
        AddEntry("C:\\cur\\a", "60", clRed);
        AddEntry("C:\\cur\\b", row.second, clLime);
        DrawSlices();
        EXPECT_EQ(Data.AngleOverflow, row.overflow);
        EXPECT_EQ(CountColour(kOther), 0);
    }
}

TEST_F(PieDrawing, AVanishedPathKeepsOnlyTheLighterFirstPass) {
    const TColor gone = RGBColor(60, 120, 180);
    const TColor kept = RGBColor(180, 120, 60);
    AddEntry("C:\\cur\\gone", "50", gone);
    AddEntry("C:\\cur\\kept", "50", kept);
    TPieFileTable probe;
    probe.AddVanished("C:\\cur\\gone", kPieAttrDirectory);
    probe.AddEntry("C:\\cur\\kept", TPieEntryKind::Folder, kPieAttrDirectory);
    DrawSlices(&probe);
    EXPECT_EQ(ColorAtAngle(90, 200), ChangeLightness(gone, 10));
    EXPECT_EQ(ColorAtAngle(270, 200), kept);
}

TEST_F(PieDrawing, WithoutAProbeOrListingEverySliceIsSolid) {
    const TColor c = RGBColor(90, 90, 200);
    AddEntry("C:\\cur\\f.txt", "100", c);
    DrawSlices(nullptr);
    EXPECT_EQ(ColorAtAngle(180, 150), c);
    TPieFileTable empty;  // a file on disk, but the listing holds no item
    empty.AddEntry("C:\\cur\\f.txt", TPieEntryKind::File, 0, false);
    DrawSlices(&empty);
    for (int x = 600; x < 620; ++x) {
        ASSERT_EQ(ColorAt(x, 300), c) << x;
    }
}

TEST_F(PieDrawing, PlainFilesAreCrossHatchedInWhite) {
    const TColor c = RGBColor(90, 90, 200);
    AddEntry("C:\\cur\\f.txt", "100", c);
    TPieFileTable probe;
    probe.AddEntry("C:\\cur\\f.txt", TPieEntryKind::File);
    DrawSlices(&probe);
    int white = 0;
    int colour = 0;
    for (int y = 300; y < 340; ++y) {
        for (int x = 500; x < 540; ++x) {
            const TColor p = ColorAt(x, y);
            white += p == clWhite;
            colour += p == c;
            ASSERT_TRUE(p == clWhite || p == c) << x << "," << y;
            // The hatch repeats every 8 pixels both ways.
            ASSERT_EQ(p, ColorAt(x + 8, y));
            ASSERT_EQ(p, ColorAt(x, y + 8));
        }
    }
    // Two one-pixel diagonals per 8 x 8 cell: a quarter of the pixels.
    EXPECT_EQ(white, 40 * 40 / 4);
    EXPECT_EQ(colour, 40 * 40 * 3 / 4);
}

TEST_F(PieDrawing, FoldersAreSolid) {
    const TColor c = RGBColor(90, 200, 90);
    AddEntry("C:\\cur\\sub", "100", c);
    TPieFileTable probe;
    probe.AddEntry("C:\\cur\\sub", TPieEntryKind::Folder, kPieAttrDirectory);
    DrawSlices(&probe);
    for (int x = 500; x < 540; ++x) {
        ASSERT_EQ(ColorAt(x, 300), c) << x;
    }
}

TEST_F(PieDrawing, AReadOnlyCompressedFileIsTiledWithTheZippedFolder) {
    AddEntry("C:\\cur\\a.zip", "100", RGBColor(90, 90, 200));
    TPieFileTable probe;
    probe.AddEntry("C:\\cur\\a.zip", TPieEntryKind::File, kPieAttrReadOnly | kPieAttrCompressed);
    ASSERT_EQ(LogoIMGInd("C:\\cur\\a.zip", probe), kLogoCompressed);
    DrawSlices(&probe);
    const QImage tile =
        ChooseBrushImage(kLogoCompressed, 3.0f).convertToFormat(QImage::Format_RGB32);
    // The tile repeats from the bitmap's origin (a region clear of the radials).
    for (int y = 450; y < 630; ++y) {
        for (int x = 270; x < 450; ++x) {
            const QRgb t = tile.pixel(x % 90, y % 90);
            ASSERT_EQ(ColorAt(x, y), RGBColor(qRed(t), qGreen(t), qBlue(t))) << x << "," << y;
        }
    }
}

TEST(PieLogos, TheLaterAttributeRuleWins) {
    TPieFileTable probe;
    probe.AddEntry("sys", TPieEntryKind::File, kPieAttrSystem);
    probe.AddEntry("tmp", TPieEntryKind::File, kPieAttrTemporary | kPieAttrSystem);
    probe.AddEntry("ro", TPieEntryKind::File, kPieAttrReadOnly | kPieAttrTemporary);
    probe.AddEntry("shellro", TPieEntryKind::File, 0, true, true);
    probe.AddEntry("zip", TPieEntryKind::File, kPieAttrCompressed | kPieAttrSystem);
    probe.AddEntry("plain", TPieEntryKind::File, kPieAttrHidden);
    probe.AddEntry("unlisted", TPieEntryKind::File, kPieAttrTemporary, false);
    EXPECT_EQ(LogoIMGInd("sys", probe), kLogoSystem);
    EXPECT_EQ(LogoIMGInd("tmp", probe), kLogoTemporary);
    EXPECT_EQ(LogoIMGInd("ro", probe), kLogoReadOnly);
    EXPECT_EQ(LogoIMGInd("shellro", probe), kLogoReadOnly);
    EXPECT_EQ(LogoIMGInd("zip", probe), kLogoCompressed);
    EXPECT_EQ(LogoIMGInd("plain", probe), -1);
    // Not in the listing: its own attributes, not some other item's.
    EXPECT_EQ(LogoIMGInd("unlisted", probe), kLogoTemporary);
    EXPECT_EQ(LogoIMGInd("nowhere", probe), -1);
}

TEST(PieLogos, SevenDistinctLogosOfThirtyPixels) {
    const auto& logos = Logos();
    ASSERT_EQ(logos.size(), 7u);
    std::set<QByteArray> distinct;
    for (const QImage& logo : logos) {
        ASSERT_EQ(logo.size(), QSize(kLogoSize, kLogoSize));
        distinct.insert(QByteArray(reinterpret_cast<const char*>(logo.constBits()),
                                   static_cast<int>(logo.sizeInBytes())));
    }
    EXPECT_EQ(distinct.size(), 7u);
    // The read-only sign is red; the corners of every logo are the white blend colour.
    const QRgb ring = logos[kLogoReadOnly].pixel(15, 3);
    EXPECT_GT(qRed(ring), 150);
    EXPECT_LT(qGreen(ring), 100);
    for (const QImage& logo : logos) {
        EXPECT_EQ(logo.pixel(0, 0) & 0xFFFFFFu, 0xFFFFFFu);
    }
}

TEST(PieLogos, TileHasTheLogoInsideAWhiteBorderOfASixth) {
    const QImage tile = ChooseBrushImage(kLogoReadOnly, 3.0f);
    ASSERT_EQ(tile.size(), QSize(90, 90));
    for (int i = 0; i < 90; ++i) {
        for (int b : {0, 14, 75, 89}) {
            ASSERT_EQ(tile.pixel(i, b) & 0xFFFFFFu, 0xFFFFFFu) << i << "," << b;
            ASSERT_EQ(tile.pixel(b, i) & 0xFFFFFFu, 0xFFFFFFu) << b << "," << i;
        }
    }
    // The logo's pixel (15, 3) is stretched twice over, to (45..46, 21..22).
    EXPECT_EQ(tile.pixel(45, 21), Logos()[kLogoReadOnly].pixel(15, 3));
    const QImage blank = ChooseBrushImage(-1, 3.0f);
    for (int y = 0; y < 90; ++y) {
        for (int x = 0; x < 90; ++x) {
            ASSERT_EQ(blank.pixel(x, y) & 0xFFFFFFu, 0xFFFFFFu);
        }
    }
    EXPECT_EQ(ChooseBrushImage(kLogoSystem, 2.0f).size(), QSize(60, 60));
}

TEST_F(PieDrawing, MalformedPercentOrColourEndsTheDrawing) {
    AddEntry("C:\\cur\\a", "12,5", clRed);
    Prepare();
    EXPECT_THROW(DrawPie(Data, TPieFiles{&Paths, nullptr}), EConvertError);
    Percents.Set(1, "12.5");
    Colors.Set(1, "clNoSuchColour");
    EXPECT_THROW(DrawPie(Data, TPieFiles{&Paths, nullptr}), EConvertError);
}

TEST_F(PieDrawing, DeeperBevelStepsLightnessPassByPass) {
    Percents.Set(0, "100");
    Prepare();
    Data.UniformBevel = false;  // bevel depth 3: four passes
    BeforePieDraw(Data);
    DrawBeveledPie(Data, PieBitmapDiameter(Data), TPieFiles{&Paths, nullptr});
    EXPECT_EQ(ColorAt(50, 424), ChangeLightness(kOther, 30));
    EXPECT_EQ(ColorAt(51, 424), ChangeLightness(kOther, 20));
    EXPECT_EQ(ColorAt(52, 424), ChangeLightness(kOther, 10));
    EXPECT_EQ(ColorAt(53, 424), kOther);
}

TEST(PiePicture, IsTheControlSizeAndOpaque) {
    TStringList colors = {ColorToString(clBlack), ColorToString(RGBColor(200, 60, 60))};
    TStringList percents = {"0.0", "40"};
    TStringList names = {"C:", "Big"};
    TStringList paths = {"C:", "C:\\Big"};
    const QImage shown = RenderPiePicture(colors, percents, names, paths, kOther, 100, nullptr);
    ASSERT_EQ(shown.size(), QSize(350, 350));
    EXPECT_EQ(shown.format(), QImage::Format_RGB32);
    EXPECT_EQ(shown.pixel(2, 2), 0xFFFFFFFFu);
    EXPECT_EQ(shown.pixel(347, 347), 0xFFFFFFFFu);
    // At 100 % the disc of 750 bitmap pixels shows 250 * 350 / 850 = about 309 wide.
    const QRgb left = shown.pixel(175 - 150, 185);
    EXPECT_GT(qRed(left), qBlue(left));
    EXPECT_EQ(RenderPiePicture(colors, percents, names, paths, kOther, 300, nullptr).size(),
              QSize(850, 850));
    EXPECT_TRUE(RenderPiePicture({}, {}, {}, {}, kOther, 100, nullptr).isNull());
}
