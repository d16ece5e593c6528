// The bar geometry and its three drawing layers, checked pixel by pixel.
#include <gtest/gtest.h>

#include <QPainter>

#include "views/bar/BarDrawing.h"

namespace {

const QList<int> kWidths = {200, 100, 100, 100};

TEST(BarRect, LengthIsTheShareOfTheBarColumn) {
    QRect row(0, 20, 500, 19);
    QRect r = BarRect(row, kWidths, 3, 50);
    EXPECT_EQ(r.left(), 400);
    EXPECT_EQ(r.top(), 23);
    EXPECT_EQ(r.top() + r.height(), 36);
    EXPECT_EQ(r.width(), 50);
    EXPECT_EQ(BarRect(row, {200, 100, 100, 200}, 3, 50).width(), 100);
    EXPECT_EQ(BarRect(row, {200, 100, 100, 33}, 3, 50).width(), 16);  // 16.5 cut
    EXPECT_EQ(BarRect(row, kWidths, 3, 0).width(), 0);
    EXPECT_EQ(BarRect(row, kWidths, 3, 100).width(), 100);
    // The row's own left edge (a scrolled list) carries over.
    EXPECT_EQ(BarRect(QRect(-30, 0, 500, 19), kWidths, 3, 10).left(), 370);
}

QImage Canvas() {
    QImage img(120, 60, QImage::Format_RGB32);
    img.fill(QColor(10, 20, 30));
    return img;
}

TEST(BarLayers, WhiteRectClearsTheCellIntoTheRowBelow) {
    QImage img = Canvas();
    QRect bar(10, 13, 30, 13);  // row from 10 to 29 (exclusive)
    {
        QPainter p(&img);
        DrawWhiteRect(p, bar, 100);
    }
    EXPECT_EQ(img.pixelColor(10, 13), QColor(Qt::white));
    EXPECT_EQ(img.pixelColor(109, 29), QColor(Qt::white));  // one pixel into the next row
    EXPECT_NE(img.pixelColor(109, 30), QColor(Qt::white));
    EXPECT_NE(img.pixelColor(110, 20), QColor(Qt::white));
    EXPECT_NE(img.pixelColor(10, 12), QColor(Qt::white));
}

TEST(BarLayers, ShadowOnlyWhenSwitchedOnAndOffsetByThreeAndTwo) {
    QImage img = Canvas();
    QRect bar(10, 10, 30, 10);
    {
        QPainter p(&img);
        DrawShadow(p, bar, false, Qt::darkGray);
    }
    EXPECT_EQ(img, Canvas());
    {
        QPainter p(&img);
        DrawShadow(p, bar, true, Qt::darkGray);
    }
    EXPECT_EQ(img.pixelColor(13, 12), QColor(Qt::darkGray));
    EXPECT_EQ(img.pixelColor(42, 21), QColor(Qt::darkGray));
    EXPECT_NE(img.pixelColor(43, 21), QColor(Qt::darkGray));
    EXPECT_NE(img.pixelColor(12, 12), QColor(Qt::darkGray));
    EXPECT_NE(img.pixelColor(13, 11), QColor(Qt::darkGray));
}

QImage WhiteToRed() {
    QImage g(200, 200, QImage::Format_RGB32);
    for (int y = 0; y < 200; ++y) {
        int v = 255 - y * 255 / 199;
        for (int x = 0; x < 200; ++x) {
            g.setPixelColor(x, y, QColor(255, v, v));
        }
    }
    return g;
}

TEST(BarLayers, GradientRunsFromTopToBottomAndOutlineIsTheRowColour) {
    QImage img = Canvas();
    QRect bar(10, 10, 60, 20);
    {
        QPainter p(&img);
        DrawGradientBar(p, bar, WhiteToRed(), QColor(255, 0, 0), false);
    }
    QColor top = img.pixelColor(40, 10);
    QColor bottom = img.pixelColor(40, 29);
    EXPECT_GT(top.green(), 200);
    EXPECT_LT(bottom.green(), 40);
    EXPECT_EQ(img.pixelColor(70, 20), QColor(10, 20, 30));  // right edge excluded

    QImage framed = Canvas();
    {
        QPainter p(&framed);
        DrawGradientBar(p, bar, WhiteToRed(), QColor(0, 0, 255), true);
    }
    EXPECT_EQ(framed.pixelColor(10, 20), QColor(0, 0, 255));
    EXPECT_EQ(framed.pixelColor(69, 20), QColor(0, 0, 255));
    EXPECT_EQ(framed.pixelColor(40, 10), QColor(0, 0, 255));
    EXPECT_EQ(framed.pixelColor(40, 29), QColor(0, 0, 255));
    EXPECT_NE(framed.pixelColor(40, 20), QColor(0, 0, 255));
    EXPECT_EQ(framed.pixelColor(70, 20), QColor(10, 20, 30));
}

TEST(BarLayers, ZeroLengthBarDrawsNothing) {
    QImage img = Canvas();
    {
        QPainter p(&img);
        DrawGradientBar(p, QRect(10, 10, 0, 20), WhiteToRed(), Qt::blue, true);
        DrawShadow(p, QRect(10, 10, 0, 20), true, Qt::black);
    }
    EXPECT_EQ(img, Canvas());
}

}  // namespace
