// A long paste never freezes the window: the copy runs on a worker thread,
// the window's event loop keeps running (it repaints, timers fire) but takes
// no clicks meanwhile, the progress box counts and its Cancel stops the copy.
#include <gtest/gtest.h>

#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <thread>

#include "app/shell/PasteRunner.h"
#include "tests/pieui/TestApplication.h"

using cq::desktop::TActionResult;
using cq::desktop::TCopyProgress;

TEST(PasteRunner, WindowStaysLiveTakesNoClicksAndCancelStopsTheCopy) {
    TestApplication();
    QWidget window;
    auto* button = new QPushButton(QStringLiteral("Elsewhere"), &window);
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    int ticks = 0;
    QString shownText;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        ++ticks;
        QTest::mouseClick(button, Qt::LeftButton);
        for (QWidget* top : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QProgressDialog*>(top);
            if (!box || !box->isVisible())
                continue;
            shownText = box->labelText();
            if (auto* cancel = box->findChild<QPushButton*>())
                QTest::mouseClick(cancel, Qt::LeftButton);
        }
    });
    user.start(10);
    const TActionResult result = RunWithProgress(&window, [](TCopyProgress& progress) {
        while (!progress.cancel.load()) {
            progress.bytes += 4096;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return TActionResult::Failed(QStringLiteral("stopped"));
    });
    user.stop();

    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, QStringLiteral("stopped"));
    EXPECT_GT(ticks, 3);
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(shownText.startsWith(QStringLiteral("Copying"))) << shownText.toStdString();
    EXPECT_TRUE(shownText.endsWith(QStringLiteral(" copied"))) << shownText.toStdString();
    // Afterwards the window takes clicks again.
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
}
