// The splash window and its picture.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QTest>

#include "app/splash/FormSplash.h"
#include "app/splash/JpegCodec.h"
#include "tests/help/QtTestApp.h"

namespace cq::app {
namespace {

TEST(SplashTest, BorderlessPictureOfItsOwnSizeAndPlace) {
    TFormSplash splash;
    EXPECT_TRUE(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(splash.size(), QSize(297, 67));
    EXPECT_EQ(splash.pos(), QPoint(375, 330));
    EXPECT_FALSE(splash.isVisible());
    EXPECT_EQ(splash.PauseMs(), 2000);
    ASSERT_NE(splash.BKG(), nullptr);
    EXPECT_EQ(splash.BKG()->geometry(), QRect(0, 0, 297, 67));
    const QPixmap picture = splash.BKG()->pixmap();
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), QSize(297, 67));
}

TEST(SplashTest, StartRunsTheStartupOnceAfterThePauseWhileVisibleThenHides) {
    QWidget owner;
    auto* splash = new TFormSplash(&owner);
    splash->SetPauseMs(80);
    int runs = 0;
    bool visibleDuringStartup = false;
    qint64 waitedMs = -1;
    QElapsedTimer clock;
    QObject::connect(splash, &TFormSplash::StartupMessage, [&] {
        ++runs;
        visibleDuringStartup = splash->isVisible();
        waitedMs = clock.elapsed();
    });
    clock.start();
    splash->Start();
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(visibleDuringStartup);
    EXPECT_GE(waitedMs, 80);
    EXPECT_FALSE(splash->isVisible());
    // Nothing runs the start-up again afterwards.
    QCoreApplication::processEvents();
    EXPECT_EQ(runs, 1);
}

TEST(SplashTest, PauseCanBeZeroButNotNegative) {
    TFormSplash splash;
    splash.SetPauseMs(-5);
    EXPECT_EQ(splash.PauseMs(), 0);
    int runs = 0;
    QObject::connect(&splash, &TFormSplash::StartupMessage, [&] { ++runs; });
    splash.Start();
    EXPECT_EQ(runs, 1);
}

TEST(SplashTest, ClickOnThePictureHidesIt) {
    TFormSplash splash;
    splash.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&splash));
    QTest::mouseClick(splash.BKG(), Qt::LeftButton, {}, QPoint(100, 30));
    EXPECT_FALSE(splash.isVisible());
}

TEST(SplashTest, Screenshot) {
    TFormSplash splash;
    splash.show();
    const QImage shot = splash.grab().toImage();
    ASSERT_EQ(shot.size(), QSize(297, 67));
    EXPECT_TRUE(shot.save(cq::test::ScreenshotFolder() + QStringLiteral("/splash.png")));
}

TEST(JpegCodecTest, RoundTripKeepsSizeAndColours) {
    QImage image(40, 24, QImage::Format_RGB32);
    image.fill(QColor(200, 40, 20));
    for (int y = 12; y < 24; ++y) {
        for (int x = 0; x < 40; ++x) {
            image.setPixelColor(x, y, QColor(20, 60, 220));
        }
    }
    const QByteArray jpeg = EncodeJpeg(image, 95);
    ASSERT_TRUE(jpeg.startsWith("\xFF\xD8"));
    const QImage back = DecodeJpeg(jpeg);
    ASSERT_EQ(back.size(), image.size());
    const auto near = [](QColor a, QColor b) {
        return std::abs(a.red() - b.red()) < 12 && std::abs(a.green() - b.green()) < 12 &&
               std::abs(a.blue() - b.blue()) < 12;
    };
    EXPECT_TRUE(near(back.pixelColor(5, 3), QColor(200, 40, 20)));
    EXPECT_TRUE(near(back.pixelColor(30, 20), QColor(20, 60, 220)));
}

TEST(JpegCodecTest, DamagedDataGivesNoPictureAndDoesNotEndTheProgram) {
    EXPECT_TRUE(DecodeJpeg(QByteArray()).isNull());
    EXPECT_TRUE(DecodeJpeg(QByteArray("not a jpeg at all, just text")).isNull());
    QByteArray header = EncodeJpeg(QImage(16, 16, QImage::Format_RGB32), 80);
    ASSERT_FALSE(header.isEmpty());
    // The start of a real file, then a broken marker.
    QByteArray broken = header.left(30) + QByteArray(40, '\xFF') + QByteArray(20, '\x01');
    EXPECT_TRUE(DecodeJpeg(broken).isNull());
    // A file cut short still decodes to its full size, the rest filled in.
    // A picture with detail (a fresh QImage holds whatever memory held), so
    // that most of the file is scan data and a cut keeps the whole header.
    QImage picture(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            picture.setPixelColor(x, y, QColor(x * 4, y * 4, (x * y) % 256));
    const QByteArray cut = EncodeJpeg(picture, 80);
    const QImage partial = DecodeJpeg(cut.left(cut.size() * 2 / 3));
    EXPECT_EQ(partial.size(), QSize(64, 64));
}

}  // namespace
}  // namespace cq::app
