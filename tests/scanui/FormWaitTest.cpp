#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <atomic>

#include "app/wait/FormWait.h"
#include "tests/scanui/TestApp.h"
#include "views/gradient/Gradient.h"

TEST(WaitCountsText, BytesUseBinaryUnitsAndADecimalPoint) {
    EXPECT_EQ(WaitBytesText(0), "0 B");
    EXPECT_EQ(WaitBytesText(1023), "1023 B");
    EXPECT_EQ(WaitBytesText(1024), "1.0 KB");
    EXPECT_EQ(WaitBytesText(1536), "1.5 KB");
    EXPECT_EQ(WaitBytesText(1048524), "1023.9 KB");
    EXPECT_EQ(WaitBytesText(1048575), "1.0 MB");  // never "1024.0 KB"
    EXPECT_EQ(WaitBytesText(5LL * 1024 * 1024 * 1024 + 512LL * 1024 * 1024), "5.5 GB");
    EXPECT_EQ(WaitBytesText(-5), "0 B");
}

TEST(WaitCountsText, ElapsedAndWholeLine) {
    EXPECT_EQ(WaitElapsedText(0), "0:00");
    EXPECT_EQ(WaitElapsedText(59999), "0:59");
    EXPECT_EQ(WaitElapsedText(61000), "1:01");
    EXPECT_EQ(WaitElapsedText(3600000 + 62000), "1:01:02");
    EXPECT_EQ(WaitProgressText({1, 1, 10}, 2500), "1 folder, 1 file\n10 B, 0:02");
    EXPECT_EQ(WaitProgressText({5, 6, 7, false}, 61000), "Elapsed time 1:01");
    EXPECT_EQ(WaitProgressText({5, 6, 7, true, false}, 61000), "5 folders\nElapsed time 1:01");
    EXPECT_EQ(WaitProgressText({1234, 56789, 3 * 1024 * 1024}, 125000),
              "1234 folders, 56789 files\n3.0 MB, 2:05");
}

class FormWaitTest : public ::testing::Test {
  protected:
    void SetUp() override { TestApp(); }
};

TEST_F(FormWaitTest, LayoutTextsAndHints) {
    TFormWait wait;
    EXPECT_EQ(wait.windowTitle(), "Analizing");
    EXPECT_EQ(wait.size(), QSize(247, 126));
    EXPECT_EQ(wait.Label()->text(), "Please wait ...");
    EXPECT_EQ(wait.Label()->pos(), QPoint(12, 12));
    EXPECT_EQ(wait.BtnNo()->geometry(), QRect(85, 71, 70, 25));
    EXPECT_TRUE(wait.BtnNo()->autoRaise()) << "the cancel button is flat";
    EXPECT_TRUE(wait.BtnNo()->text().isEmpty());
    EXPECT_FALSE(wait.BtnNo()->icon().isNull());
    EXPECT_EQ(wait.BtnNo()->toolTip(), "Cancel analizing");
    const QString slow = "It may take several minutes depending on speed of your computer";
    EXPECT_EQ(wait.Label()->toolTip(), slow);
    EXPECT_EQ(wait.Gradient()->toolTip(), slow);
    EXPECT_EQ(wait.Gradient()->geometry(), QRect(0, 0, 247, 126));
    const Qt::WindowFlags flags = wait.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(wait.isModal());
    // The label and the live line must not overlap the button.
    EXPECT_LE(wait.ProgressLine()->geometry().bottom(), 70);
    // Without reported counts the line still shows the time.
    EXPECT_EQ(wait.ProgressLine()->text(), "Elapsed time 0:00");
    EXPECT_GE(wait.ProgressLine()->geometry().top(), wait.Label()->geometry().bottom());
}

TEST_F(FormWaitTest, GradientRunsFromButtonFaceTopRightToWhiteBottomLeft) {
    TFormWait wait;
    wait.ShowWait();
    const QImage shot = wait.grab().toImage();
    ASSERT_EQ(shot.size(), QSize(247, 126));
    const QColor face = wait.palette().color(QPalette::Button);
    const QColor topRight = shot.pixelColor(244, 2);
    const QColor bottomLeft = shot.pixelColor(2, 123);
    EXPECT_NEAR(topRight.red(), face.red(), 6);
    EXPECT_NEAR(topRight.green(), face.green(), 6);
    EXPECT_NEAR(topRight.blue(), face.blue(), 6);
    EXPECT_GE(bottomLeft.red(), 250);
    EXPECT_GE(bottomLeft.green(), 250);
    EXPECT_GE(bottomLeft.blue(), 250);
    SaveShot(shot, "formwait.png");
    wait.HideWait();
}

TEST_F(FormWaitTest, ShownCentredOnTopAndNotModal) {
    TFormWait wait;
    wait.ShowWait();
    ASSERT_TRUE(wait.isVisible());
    const QRect screen = wait.screen()->geometry();
    const QRect frame = wait.frameGeometry();
    EXPECT_EQ(frame.x() - screen.x(), screen.width() / 2 - frame.width() / 2);
    EXPECT_EQ(frame.y() - screen.y(), screen.height() / 2 - frame.height() / 2);
    EXPECT_EQ(QGuiApplication::modalWindow(), nullptr);
    wait.HideWait();
    EXPECT_FALSE(wait.isVisible());
}

TEST_F(FormWaitTest, ButtonOnlyAsksToCancelAndWindowCannotBeClosedOtherwise) {
    TFormWait wait;
    QSignalSpy spy(&wait, &TFormWait::CancelClicked);
    wait.ShowWait();
    QTest::mouseClick(wait.BtnNo(), Qt::LeftButton);
    EXPECT_EQ(spy.count(), 1);
    EXPECT_TRUE(wait.isVisible()) << "the window stays until the scan ends";
    EXPECT_FALSE(wait.close());
    QTest::keyClick(&wait, Qt::Key_Escape);
    EXPECT_TRUE(wait.isVisible());
    wait.HideWait();
}

TEST_F(FormWaitTest, LiveLineFollowsCountersWithoutMovingLabelOrButton) {
    std::atomic<std::int64_t> folders{0}, files{0}, bytes{0};
    TFormWait wait;
    wait.SetCountsSource([&] {
        return TWaitCounts{folders.load(), files.load(), bytes.load(), true, true};
    });
    wait.ShowWait();
    const QRect labelBefore = wait.Label()->geometry();
    const QRect buttonBefore = wait.BtnNo()->geometry();
    const QRect lineBefore = wait.ProgressLine()->geometry();
    EXPECT_EQ(wait.ProgressLine()->text(), "0 folders, 0 files\n0 B, 0:00");

    folders = 123456;
    files = 9876543;
    bytes = 3LL * 1024 * 1024 * 1024 * 1024;
    // The window polls on its own timer; no signal per file is sent.
    ASSERT_TRUE(WaitUntil(
        [&] { return wait.ProgressLine()->text().startsWith("123456 folders, 9876543 files\n"); },
        3000));
    EXPECT_TRUE(wait.ProgressLine()->text().contains("3.0 TB"));
    EXPECT_EQ(wait.Label()->geometry(), labelBefore);
    EXPECT_EQ(wait.BtnNo()->geometry(), buttonBefore);
    EXPECT_EQ(wait.ProgressLine()->geometry(), lineBefore);
    EXPECT_EQ(wait.size(), QSize(247, 126));
    // Long numbers still fit the line's width.
    const QFontMetrics metrics(wait.ProgressLine()->font());
    for (const QString& line : wait.ProgressLine()->text().split('\n'))
        EXPECT_LE(metrics.horizontalAdvance(line), lineBefore.width()) << line.toStdString();
    SaveShot(wait.grab().toImage(), "formwait-counts.png");
    wait.HideWait();
}

// The live line changes with every refresh for the eye; a reader is told it
// at most twice a second, and what it is told is the line as drawn. (The
// offscreen platform has no accessibility bridge: the names themselves are
// counted; the registry test reads them through the bus.)
TEST_F(FormWaitTest, LiveLineIsToldToReadersAtMostTwiceASecond) {
    TFormWait wait;
    std::int64_t files = 0;
    wait.SetCountsSource([&files] { return TWaitCounts{1, ++files, 4096, true, true}; });
    QElapsedTimer clock;
    clock.start();
    wait.ShowWait();
    QStringList drawn;
    QStringList told;
    for (int i = 0; i < 40; ++i) {
        wait.RefreshProgress();
        drawn << wait.ProgressLine()->text();
        told << wait.ProgressLine()->accessibleName();
    }
    const qint64 spent = clock.elapsed();
    wait.HideWait();

    drawn.removeDuplicates();
    told.removeDuplicates();
    EXPECT_EQ(drawn.size(), 40) << "every refresh draws the new count";
    EXPECT_GE(told.size(), 1);
    EXPECT_LE(told.size(), 1 + spent / TFormWait::kSpokenMs);
    // What was told is a line that was drawn, its two lines read as one.
    for (const QString& name : told) {
        EXPECT_TRUE(name.startsWith("1 folder, ")) << name.toStdString();
        EXPECT_FALSE(name.contains('\n'));
    }
    EXPECT_EQ(wait.BtnNo()->accessibleName(), "Cancel analizing");
}
