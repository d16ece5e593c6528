// The display scaling: a real Lanczos filter, not bilinear smoothing.
#include <gtest/gtest.h>

#include <algorithm>

#include "views/pie/LanczosScaler.h"

namespace {

// Left half one grey, right half another.
QImage Edge(int width, int height, int left, int right) {
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int v = x < width / 2 ? left : right;
            row[x] = qRgb(v, v, v);
        }
    }
    return image;
}

}  // namespace

TEST(LanczosScaler, KeepsFlatColoursExactly) {
    QImage flat(850, 850, QImage::Format_ARGB32);
    flat.fill(qRgba(12, 200, 77, 0));  // alpha is ignored
    const QImage shown = ScaleLanczos(flat, QSize(350, 350));
    ASSERT_EQ(shown.size(), QSize(350, 350));
    ASSERT_EQ(shown.format(), QImage::Format_RGB32);
    for (int y = 0; y < 350; y += 7) {
        for (int x = 0; x < 350; x += 7) {
            ASSERT_EQ(shown.pixel(x, y), qRgb(12, 200, 77)) << x << "," << y;
        }
    }
}

TEST(LanczosScaler, RingsAtEdgesWhereBilinearCannot) {
    // A windowed sinc overshoots on both sides of a step; any averaging
    // filter stays between the two levels.
    const QImage shown = ScaleLanczos(Edge(600, 8, 100, 200), QSize(200, 8));
    int lowest = 255;
    int highest = 0;
    for (int x = 0; x < 200; ++x) {
        lowest = std::min(lowest, qRed(shown.pixel(x, 4)));
        highest = std::max(highest, qRed(shown.pixel(x, 4)));
    }
    EXPECT_LT(lowest, 100);
    EXPECT_GT(highest, 200);
    // Far from the edge the levels are exact.
    EXPECT_EQ(qRed(shown.pixel(10, 4)), 100);
    EXPECT_EQ(qRed(shown.pixel(190, 4)), 200);
}

TEST(LanczosScaler, KeepsChannelsApart) {
    // Red on one side, blue on the other: no green appears and the far ends
    // keep their colour (no chroma bleeding through a YUV round trip).
    QImage image(300, 4, QImage::Format_ARGB32);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 300; ++x) {
            image.setPixel(x, y, x < 150 ? qRgb(255, 0, 0) : qRgb(0, 0, 255));
        }
    }
    const QImage shown = ScaleLanczos(image, QSize(100, 4));
    for (int x = 0; x < 100; ++x) {
        ASSERT_EQ(qGreen(shown.pixel(x, 2)), 0) << x;
    }
    EXPECT_EQ(shown.pixel(5, 2), qRgb(255, 0, 0));
    EXPECT_EQ(shown.pixel(95, 2), qRgb(0, 0, 255));
}

TEST(LanczosScaler, EmptyInputsGiveANullPicture) {
    EXPECT_TRUE(ScaleLanczos(QImage(), QSize(10, 10)).isNull());
    EXPECT_TRUE(ScaleLanczos(Edge(10, 10, 0, 255), QSize(0, 10)).isNull());
}

TEST(LanczosScaler, FitsKeepingTheAspectRatio) {
    EXPECT_EQ(FitKeepingAspect(QSize(850, 850), QSize(350, 350)), QSize(350, 350));
    EXPECT_EQ(FitKeepingAspect(QSize(850, 850), QSize(400, 350)), QSize(350, 350));
    EXPECT_EQ(FitKeepingAspect(QSize(200, 100), QSize(100, 100)), QSize(100, 50));
    EXPECT_TRUE(FitKeepingAspect(QSize(0, 10), QSize(100, 100)).isEmpty());
}
