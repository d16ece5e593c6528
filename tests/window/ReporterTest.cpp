// Exceptions that escape a command end up in the report, and the program
// goes on.
#include <QMessageBox>
#include <QTimer>

#include "tests/window/WindowFixture.h"
#include "views/common/ConvertError.h"

namespace {

// Corrupts one stored percent the way a hand-edited result file would.
void BreakBetaPercent(TFormMain& form) {
    ASSERT_GE(form.Store.GlobalPercents().size(), 4u);
    ASSERT_EQ(form.Store.GlobalDirs()[3], "C:\\beta");
    TStoredSet broken = form.Store.Global();
    broken.Percents.Set(3, "3o");
    form.Store.ReplaceGlobal(std::move(broken));
}

TEST_F(WindowFixture, ConversionErrorOfACommandIsReportedAndTheWindowStaysUsable) {
    OpenWindow();
    TCobaltApplication& app = WindowTestApp();
    std::vector<TExceptionReport> reports;
    app.SetPresenter([&](const TExceptionReport& report) { reports.push_back(report); });
    const int before = app.ReportCount();
    BreakBetaPercent(*form);

    QTest::keySequence(form.get(), QKeySequence("Ctrl+C"));  // "New colors"
    Settle();
    app.SetPresenter({});
    EXPECT_EQ(app.ReportCount(), before + 1);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].Kind, "EConvertError");
    EXPECT_EQ(reports[0].Text, "'3o' is not a valid floating point value");
    // The stack was recorded where the error was thrown.
    EXPECT_TRUE(reports[0].Trace.contains("TBarData::CreateFolderBarData"))
        << reports[0].Trace.toStdString();

    // The window goes on: navigation into a healthy folder works.
    DoubleClickRow("alpha");
    EXPECT_EQ(form->Bar().Root(), "C:\\alpha");
    EXPECT_EQ(RowNames(), (QStringList{"inner", "a.bin"}));
    EXPECT_TRUE(form->BarData().BarDataReady);
}

TEST_F(WindowFixture, TheReportDialogShowsTheErrorAndItsStack) {
    OpenWindow();
    BreakBetaPercent(*form);
    QString shownText, shownDetails;
    bool seen = false;
    QTimer watcher;
    watcher.setInterval(20);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box && box->objectName() == "exceptionReport") {
            seen = true;
            shownText = box->text();
            shownDetails = box->detailedText();
            box->accept();
        }
    });
    watcher.start();
    QTest::keySequence(form.get(), QKeySequence("Ctrl+C"));
    QTRY_VERIFY_WITH_TIMEOUT(seen, 5000);
    watcher.stop();
    EXPECT_EQ(shownText, "'3o' is not a valid floating point value");
    EXPECT_FALSE(shownDetails.isEmpty());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(form->isVisible());
}

TEST(Reporter, ManyErrorsWhileTheDialogIsOpenGiveOneDialog) {
    TCobaltApplication& app = WindowTestApp();
    int shown = 0;
    app.SetPresenter([&](const TExceptionReport&) { ++shown; });
    QObject target;
    const int before = app.ReportCount();
    for (int i = 0; i < 3; ++i) {
        QMetaObject::invokeMethod(
            &target, [] { throw EConvertError("'x' is not a valid integer value"); },
            Qt::QueuedConnection);
    }
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    app.SetPresenter({});
    EXPECT_EQ(app.ReportCount(), before + 3);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(app.LastReport().Text, "'x' is not a valid integer value");
}

}  // namespace
