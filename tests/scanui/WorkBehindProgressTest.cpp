// Work run behind a progress box: the box carries its name, title and the
// work's status text, its Cancel stops the work, it never shows for work
// that ends before its delay, and other windows take input unless only the
// box may.
#include <gtest/gtest.h>

#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <thread>

#include "app/wait/WorkBehindProgress.h"
#include "tests/scanui/TestApp.h"

namespace {

QProgressDialog* VisibleBox() {
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QProgressDialog*>(top); box && box->isVisible())
            return box;
    return nullptr;
}

class WorkBehindProgress : public ::testing::TestWithParam<bool> {};

TEST_P(WorkBehindProgress, TheBoxFollowsTheWorkAndItsCancelStopsIt) {
    TestApp();
    const bool onlyBox = GetParam();
    QWidget owner;
    owner.show();
    QPushButton elsewhere(QStringLiteral("Elsewhere"));  // another window
    int clicks = 0;
    QObject::connect(&elsewhere, &QPushButton::clicked, [&clicks] { ++clicks; });
    elsewhere.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&elsewhere));

    std::atomic<int> steps{0};
    TProgressBox options;
    options.Title = QStringLiteral("Reading");
    options.Label = QStringLiteral("Starting");
    options.ObjectName = QStringLiteral("WorkBox");
    options.ShowAfterMs = 0;
    options.RefreshMs = 10;
    options.Status = [&steps] { return QStringLiteral("Step %1").arg(steps.load()); };
    options.OnlyBoxTakesInput = onlyBox;

    QString name, title, shown;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        QTest::mouseClick(&elsewhere, Qt::LeftButton);
        QProgressDialog* box = VisibleBox();
        if (!box || !box->labelText().startsWith(QStringLiteral("Step ")) ||
            box->labelText() == QStringLiteral("Step 0"))
            return;
        name = box->objectName();
        title = box->windowTitle();
        shown = box->labelText();
        if (auto* cancel = box->findChild<QPushButton*>())
            QTest::mouseClick(cancel, Qt::LeftButton);
    });
    user.start(15);
    std::atomic<bool> cancel{false};
    bool stopped = false;
    RunBehindProgress(&owner, options, cancel, [&] {
        while (!cancel.load()) {
            ++steps;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        stopped = true;
    });
    user.stop();

    EXPECT_TRUE(stopped);
    EXPECT_EQ(name, QStringLiteral("WorkBox"));
    EXPECT_EQ(title, QStringLiteral("Reading"));
    EXPECT_TRUE(shown.startsWith(QStringLiteral("Step "))) << shown.toStdString();
    EXPECT_EQ(VisibleBox(), nullptr);
    if (onlyBox)
        EXPECT_EQ(clicks, 0);
    else
        EXPECT_GT(clicks, 0);
    // Afterwards every window takes clicks again.
    const int before = clicks;
    QTest::mouseClick(&elsewhere, Qt::LeftButton);
    EXPECT_EQ(clicks, before + 1);
}

INSTANTIATE_TEST_SUITE_P(InputElsewhere, WorkBehindProgress, ::testing::Bool());

TEST(WorkBehindProgressDelay, WorkThatEndsBeforeTheDelayShowsNoBox) {
    TestApp();
    QWidget owner;
    owner.show();
    TProgressBox options;
    options.ShowAfterMs = 60000;
    options.RefreshMs = 1;
    bool seen = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] { seen = seen || VisibleBox() != nullptr; });
    watch.start(1);
    std::atomic<bool> cancel{false};
    int result = 0;
    RunBehindProgress(&owner, options, cancel, [&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        result = 42;
    });
    watch.stop();
    EXPECT_EQ(result, 42);
    EXPECT_FALSE(seen);
    EXPECT_FALSE(cancel.load());
}

}  // namespace
