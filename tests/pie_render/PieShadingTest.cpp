// The two light effects on the 32-bit pie bitmap: which pixels they touch,
// what they do to a channel, and that they leave the background alone.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "views/pie/PieShading.h"

namespace {

QImage Filled(int width, int height, std::uint32_t word) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(word);
    return image;
}

std::uint32_t Word(const QImage& image, int x, int y) {
    return reinterpret_cast<const std::uint32_t*>(image.constScanLine(y))[x];
}

// A 24-bit gradient of one byte triple everywhere.
QImage Gradient(int width, int height, std::uint8_t b0, std::uint8_t b1, std::uint8_t b2) {
    QImage image(width, height, QImage::Format_BGR888);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = b0;
            row[3 * x + 1] = b1;
            row[3 * x + 2] = b2;
        }
    }
    return image;
}

}  // namespace

TEST(CentreLight, LightensChannelsByTheTableAndMakesThemOpaque) {
    QImage image = Filled(101, 101, 0x00000000u);
    reinterpret_cast<std::uint32_t*>(image.scanLine(50))[50] = 0x00FF8000u;
    CentreLight(image, 100, 25);
    EXPECT_EQ(Word(image, 50, 50), 0xFFFFB163u);  // 255 stays, 128 -> 177, 0 -> 99
    EXPECT_EQ(Word(image, 60, 50), 0xFF636363u);
}

TEST(CentreLight, LeavesWhiteWhite) {
    QImage image = Filled(60, 60, 0x00FFFFFFu);
    CentreLight(image, 100, 15);
    EXPECT_EQ(Word(image, 30, 30), 0xFFFFFFFFu);  // lit: white, now opaque
    EXPECT_EQ(Word(image, 0, 0), 0x00FFFFFFu);    // outside: untouched
}

TEST(CentreLight, AmountZeroChangesNothing) {
    QImage image = Filled(40, 40, 0x00102030u);
    const QImage before = image.copy();
    CentreLight(image, 0, 10);
    EXPECT_EQ(image, before);
}

TEST(CentreLight, TouchesTheCircleOnePixelWiderOnEachSide) {
    // H = 100, r = 20: top = 30, rows 30..69, centre (50, 50).
    QImage image = Filled(100, 100, 0x00000000u);
    CentreLight(image, 100, 20);
    auto lit = [&](int x, int y) { return Word(image, x, y) != 0u; };
    EXPECT_FALSE(lit(50, 29));
    EXPECT_TRUE(lit(50, 30));
    EXPECT_TRUE(lit(50, 69));
    EXPECT_FALSE(lit(50, 70));
    // Row 50: dy = 0, h = 20, columns 30..70 widened to 29..71.
    EXPECT_FALSE(lit(28, 50));
    EXPECT_TRUE(lit(29, 50));
    EXPECT_TRUE(lit(71, 50));
    EXPECT_FALSE(lit(72, 50));
    // Top row: dy = -20, h = 0, columns 50 widened to 49..51.
    EXPECT_FALSE(lit(48, 30));
    EXPECT_TRUE(lit(49, 30));
    EXPECT_TRUE(lit(51, 30));
    EXPECT_FALSE(lit(52, 30));
    // Corners of the square around the circle stay dark.
    EXPECT_FALSE(lit(32, 32));
}

TEST(CentreLight, ARadiusBeyondTheBitmapStaysInside) {
    QImage image = Filled(20, 20, 0x00000000u);
    CentreLight(image, 50, 40);
    EXPECT_EQ(image.size(), QSize(20, 20));
    EXPECT_NE(Word(image, 10, 10), 0u);
}

TEST(GradientOverlay, AnEmptyGradientLeavesThePieAsItIs) {
    QImage image = Filled(80, 80, 0x00336699u);
    const QImage before = image.copy();
    GradientOverlay(image, QImage(), 10, 10, 27);
    EXPECT_EQ(image, before);
    GradientOverlay(image, Gradient(0, 0, 0, 0, 0), 10, 10, 27);
    EXPECT_EQ(image, before);
}

TEST(GradientOverlay, PairsTheRawBytesWithRedGreenBlue) {
    // The first byte of each triple lightens red, the second green, the
    // third blue, whatever colour the triple stands for.
    // One gradient pixel per pie pixel, so triples stay aligned with pixels.
    QImage image = Filled(120, 120, 0x00000000u);
    GradientOverlay(image, Gradient(100, 100, 255, 128, 0), 10, 10, 47);
    EXPECT_EQ(Word(image, 60, 60), 0xFFFE7F00u);  // 0 + 255*255>>8, 0 + 255*128>>8, 0
}

TEST(GradientOverlay, StopsInsideThePieEdgeAndLeavesTheBackground) {
    // Pie square 100 x 100 at margin 10; radius 50 - 3 keeps a 3-pixel ring.
    QImage image = Filled(120, 120, 0x00FFFFFFu);
    QImage pie = Filled(120, 120, 0x00000000u);
    GradientOverlay(pie, Gradient(200, 200, 200, 200, 200), 10, 10, 47);
    // Row 60 (pie row 50): t0 = 3, dy = 0, h = 47, span 3..97 -> columns 13..107.
    EXPECT_EQ(Word(pie, 12, 60), 0u);
    EXPECT_NE(Word(pie, 13, 60), 0u);
    EXPECT_NE(Word(pie, 107, 60), 0u);
    EXPECT_EQ(Word(pie, 108, 60), 0u);
    // Rows before the circle's first row are untouched.
    EXPECT_EQ(Word(pie, 60, 12), 0u);
    EXPECT_NE(Word(pie, 60, 13), 0u);
    EXPECT_EQ(Word(pie, 15, 15), 0u);  // corner of the pie square
    // White stays white where lit; the margins are never touched.
    GradientOverlay(image, Gradient(200, 200, 255, 255, 255), 10, 10, 47);
    EXPECT_EQ(Word(image, 60, 60), 0xFFFFFFFFu);
    EXPECT_EQ(Word(image, 5, 60), 0x00FFFFFFu);
}

TEST(GradientOverlay, StretchesTheGradientRowsOverThePieArea) {
    // Gradient of two rows: top byte 0 (no change), bottom byte 255.
    QImage gradient(4, 2, QImage::Format_BGR888);
    std::memset(gradient.scanLine(0), 0, 12);
    std::memset(gradient.scanLine(1), 255, 12);
    QImage image = Filled(100, 100, 0x00000000u);
    GradientOverlay(image, gradient, 0, 0, 50);
    EXPECT_EQ(Word(image, 50, 30), 0xFF000000u);  // upper half: unchanged, opaque
    EXPECT_EQ(Word(image, 50, 70), 0xFFFEFEFEu);  // lower half: lit fully
}
