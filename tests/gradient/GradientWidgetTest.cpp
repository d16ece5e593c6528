// The two gradient controls on screen (offscreen platform): what they show
// after property changes, their rendered bitmap and their click events.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include "views/gradient/BitmapGradient.h"
#include "views/gradient/Gradient.h"

namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "test_gradient_widgets";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *app;
}

TColor Shown(QWidget& widget, int x, int y) {
    const QImage image = widget.grab().toImage();
    const QRgb pixel = image.pixel(x, y);
    return RGBColor(qRed(pixel), qGreen(pixel), qBlue(pixel));
}

class GradientWidget : public ::testing::Test {
  protected:
    void SetUp() override { App(); }
};

}  // namespace

TEST_F(GradientWidget, StartsAt100By100AndFillsItselfWithThePattern) {
    TGradient gradient;
    EXPECT_EQ(gradient.size(), QSize(100, 100));
    gradient.SetColorBegin(clBlack);
    gradient.SetColorEnd(clWhite);
    // Centre of the radial pattern is the begin colour, the corners the end.
    EXPECT_LT(RedOf(Shown(gradient, 50, 50)), 8);
    EXPECT_GT(RedOf(Shown(gradient, 0, 0)), 250);
    EXPECT_GT(BlueOf(Shown(gradient, 99, 99)), 250);
}

TEST_F(GradientWidget, CustomWithoutHandlerShowsTheCheckerScaledToTheControl) {
    TGradient gradient;
    gradient.resize(120, 60);
    gradient.SetColorBegin(clRed);
    gradient.SetColorEnd(clBlue);
    gradient.SetStyle(gsCustom);
    EXPECT_EQ(Shown(gradient, 10, 10), clRed);
    EXPECT_EQ(Shown(gradient, 110, 10), clBlue);
    EXPECT_EQ(Shown(gradient, 10, 50), clBlue);
    EXPECT_EQ(Shown(gradient, 110, 50), clRed);
}

TEST_F(GradientWidget, ShowsEveryChangeOfItsProperties) {
    TGradient gradient;
    gradient.resize(256, 20);
    gradient.SetStyle(gsLinearV);
    gradient.SetColorBegin(clYellow);
    gradient.SetColorEnd(clNavy);
    EXPECT_EQ(Shown(gradient, 0, 10), clYellow);
    EXPECT_EQ(Shown(gradient, 255, 10), clNavy);
    gradient.SetReverse(true);
    EXPECT_EQ(Shown(gradient, 0, 10), clNavy);
    gradient.SetShift(-100);
    EXPECT_EQ(Shown(gradient, 255, 10), clNavy);
    EXPECT_EQ(Shown(gradient, 128, 10), clNavy);
}

TEST_F(GradientWidget, CustomHandlerGetsTheControlAsSender) {
    TGradient gradient;
    QObject* seen = nullptr;
    gradient.SetOnCustom([&](QObject* sender, const TGradientColors&, QImage& pattern) {
        seen = sender;
        pattern = QImage(1, 1, kGradientImageFormat);
        pattern.fill(QColor(0, 128, 0));
    });
    gradient.SetStyle(gsCustom);
    EXPECT_EQ(seen, &gradient);
    EXPECT_EQ(Shown(gradient, 70, 30), clGreen);
}

TEST_F(GradientWidget, BitmapGradientKeeps200By200WhateverItsSize) {
    // The pie's shading source: hidden, 150 x 150, grey reflected bands.
    TBitmapGradient pieGradient;
    pieGradient.resize(150, 150);
    pieGradient.SetStyle(gsReflectedH);
    pieGradient.SetColorBegin(clBlack);
    pieGradient.SetColorEnd(clWhite);
    const QImage& rendered = pieGradient.RenderedBitmap();
    ASSERT_EQ(rendered.size(), QSize(200, 200));
    auto greyAt = [&](int y) { return static_cast<int>(rendered.constScanLine(y)[0]); };
    // Sampled at pixel centres, the outer rows take the second pattern row.
    EXPECT_EQ(greyAt(0), 254);
    EXPECT_EQ(greyAt(199), 254);
    EXPECT_LT(greyAt(99), 3);
    EXPECT_LT(greyAt(100), 3);
    EXPECT_GT(greyAt(50), greyAt(80));

    pieGradient.resize(17, 900);
    EXPECT_EQ(pieGradient.RenderedBitmap().size(), QSize(200, 200));
    // The plain control keeps no rendering.
    TGradient plain;
    EXPECT_TRUE(plain.Gradient().RenderedBitmap().isNull());
}

TEST_F(GradientWidget, ClicksAndDoubleClicksAreReported) {
    TGradient gradient;
    gradient.show();
    QSignalSpy clicks(&gradient, &TGradient::Click);
    QSignalSpy doubleClicks(&gradient, &TGradient::DblClick);
    QTest::mouseClick(&gradient, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(clicks.count(), 1);
    QTest::mouseDClick(&gradient, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(doubleClicks.count(), 1);
    QTest::mouseClick(&gradient, Qt::RightButton, {}, QPoint(20, 20));
    EXPECT_EQ(clicks.count(), 1);
}
