// The program on a real X display (run under xvfb-run): window titles as the
// desktop reads them, the menus driven by key events that come through the
// X server, the help window of "Contents", and the process ending when its
// window is closed the way a window manager closes it.
#include <gtest/gtest.h>

#include <QDir>
#include <QMenu>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <memory>

#include "app/about/FormAbout.h"
#include "app/main/FormMain.h"
#include "app/main/MenuRow.h"
#include "app/main/Program.h"
#include "app/reporter/ExceptionReporter.h"
#include "engine/ResultStore.h"
#include "platform/DriveTable.h"
#include "tests/desktop_x11/X11Desktop.h"
#include "views/tree/BarShellTreeView.h"

// Titles in failure messages as text.
void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

TCobaltApplication& App() {
    static int argc = 1;
    static char name[] = "cobaltquarry-desktop-test";
    static char* argv[] = {name, nullptr};
    static TCobaltApplication* app = [] {
        auto* created = new TCobaltApplication(argc, argv);
        cq::app::SetProgramIdentity();
        return created;
    }();
    return *app;
}

bool WaitFor(const std::function<bool()>& done, int ms = 15000) {
    return QTest::qWaitFor(done, ms);
}

QString FocusedItem() {
    // The keys of an open menu go to the menu's focus widget.
    QWidget* popup = QApplication::activePopupWidget();
    auto* cell = popup ? qobject_cast<TMenuCell*>(popup->focusWidget()) : nullptr;
    return cell && cell->Selected() ? cell->Action()->objectName() : QStringLiteral("<none>");
}

QWidget* HelpWindow(QWidget* owner) {
    auto* window = owner->findChild<QWidget*>(QStringLiteral("HtmlHelpWindow"));
    return window && window->isVisible() ? window : nullptr;
}

QString HelpPage(QWidget* owner) {
    QWidget* window = HelpWindow(owner);
    auto* page = window ? window->findChild<QTextBrowser*>(QStringLiteral("HelpPage")) : nullptr;
    return page ? page->source().path() : QString();
}

// Setting CQ_SCREENSHOT_DIR keeps a picture of the whole display for a look.
void KeepScreen(const QString& name) {
    const QString folder = qEnvironmentVariable("CQ_SCREENSHOT_DIR");
    if (!folder.isEmpty() && QGuiApplication::primaryScreen()) {
        QDir().mkpath(folder);
        QGuiApplication::primaryScreen()->grabWindow(0).save(QDir(folder).filePath(name));
    }
}

// The program's windows in this process, over a test drive C: with stored
// results, driven through the X server. (The question box "?" is read from
// the real program below.)
TEST(DesktopTest, MenusFromTheKeyboardHelpAndTitlesAsTheDesktopReadsThem) {
    App();
    QTemporaryDir data, drive;
    ASSERT_TRUE(data.isValid() && drive.isValid());
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    ASSERT_TRUE(QDir(drive.path()).mkpath("alpha"));
    TScopedDriveTable table(TDriveTable({TDrive{'C', drive.path().toStdString()}}));
    TResultStore store;
    store.SetFiles("C:");
    ASSERT_TRUE(store.SaveAnalizeData({{"C:", "C:\\alpha"}, {"0", "0"}, {"0", "0"}}));

    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    TX11Desktop desktop;
    ASSERT_TRUE(desktop.Connected());
    auto program = std::make_unique<cq::app::TProgram>();
    TFormMain& form = program->Window();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const uint32_t main = static_cast<uint32_t>(form.winId());
    desktop.Focus(main);
    ASSERT_TRUE(WaitFor([&] { return QApplication::activeWindow() == &form; }));
    EXPECT_EQ(TX11Desktop::NetWmName(main), QStringLiteral("Cobaltquarry 1.2 "));

    // Analize: Alt+A opens it with its first row selected; the arrows walk
    // the two columns; Escape closes it.
    desktop.Key(main, xk::a, TX11Desktop::kAlt);
    ASSERT_TRUE(WaitFor([&] { return QApplication::activePopupWidget() == form.menuAnalize; }));
    ASSERT_TRUE(WaitFor([] { return FocusedItem() == "menuDisk"; }))
        << FocusedItem().toStdString() << " active "
        << (form.menuAnalize->activeAction() ? "row" : "none");
    const std::vector<std::pair<uint32_t, QString>> walk = {
        {xk::Down, "menuFolder"}, {xk::Right, "menuFolderHelp"}, {xk::Up, "menuDiskHelp"},
        {xk::Left, "menuDisk"},   {xk::Up, "menuCleanups"},      {xk::Up, "menuEmptyTrash"},
        {xk::Up, "menuExclude"},  {xk::Up, "menuSaveScanHelp"}};
    for (const auto& [key, expected] : walk) {
        desktop.Key(main, key);
        EXPECT_TRUE(WaitFor([&] { return FocusedItem() == expected; }))
            << expected.toStdString() << " got " << FocusedItem().toStdString();
    }
    // "Save scan as..." waits for a remote scan, its "?" does not.
    desktop.Key(main, xk::Up);
    EXPECT_TRUE(WaitFor([] { return FocusedItem() == "menuOpenRemoteHelp"; }));
    QTest::qWait(100);
    KeepScreen(QStringLiteral("x11-analize-menu.png"));
    desktop.Key(main, xk::Escape);
    EXPECT_TRUE(WaitFor([&] { return !form.menuAnalize->isVisible(); }));

    // View: Down and Enter switch the bar chart off.
    desktop.Key(main, xk::v, TX11Desktop::kAlt);
    ASSERT_TRUE(WaitFor([&] { return QApplication::activePopupWidget() == form.menuView; }));
    desktop.Key(main, xk::Down);
    EXPECT_TRUE(WaitFor([] { return FocusedItem() == "miBarChart"; }));
    desktop.Key(main, xk::Return);
    EXPECT_TRUE(WaitFor([&] { return !form.menuView->isVisible(); }));
    EXPECT_FALSE(form.miBarChart->isChecked());
    EXPECT_FALSE(form.barHolder->isVisible());
    // An item's mnemonic runs it: F for "Folder tree".
    desktop.Key(main, xk::v, TX11Desktop::kAlt);
    ASSERT_TRUE(WaitFor([&] { return QApplication::activePopupWidget() == form.menuView; }));
    desktop.Key(main, xk::f);
    EXPECT_TRUE(WaitFor([&] { return form.Tree->isVisible(); }));
    EXPECT_TRUE(form.miFolderTree->isChecked());
    // "?" walks the help cells; Enter shows the topic in the help window.
    desktop.Key(main, xk::v, TX11Desktop::kAlt);
    ASSERT_TRUE(WaitFor([&] { return QApplication::activePopupWidget() == form.menuView; }));
    desktop.Key(main, xk::question);
    EXPECT_TRUE(WaitFor([] { return FocusedItem() == "menuPieHelp"; }));
    desktop.Key(main, xk::question);
    EXPECT_TRUE(WaitFor([] { return FocusedItem() == "menuBarHelp"; }));
    desktop.Key(main, xk::Return);
    ASSERT_TRUE(WaitFor([&] { return HelpWindow(&form) != nullptr; }));
    EXPECT_EQ(HelpPage(&form), QStringLiteral("/Html/Bar-Chart.html"));
    QWidget* help = HelpWindow(&form);
    EXPECT_EQ(TX11Desktop::NetWmName(static_cast<uint32_t>(help->winId())),
              QStringLiteral("Cobaltquarry Help"));
    // Escape closes the help window.
    desktop.Focus(static_cast<uint32_t>(help->winId()));
    ASSERT_TRUE(WaitFor([&] { return QApplication::activeWindow() == help; }));
    desktop.Key(static_cast<uint32_t>(help->winId()), xk::Escape);
    EXPECT_TRUE(WaitFor([&] { return HelpWindow(&form) == nullptr; }));

    // "Contents" (Alt+?, C): the help file's start page in the same window.
    desktop.Focus(main);
    ASSERT_TRUE(WaitFor([&] { return QApplication::activeWindow() == &form; }));
    desktop.Key(main, xk::question, TX11Desktop::kAlt);
    ASSERT_TRUE(WaitFor([&] { return QApplication::activePopupWidget() == form.menuHelp; }));
    desktop.Key(main, xk::c);
    ASSERT_TRUE(WaitFor([&] { return HelpWindow(&form) != nullptr; }));
    EXPECT_EQ(HelpPage(&form), QStringLiteral("/Html/Start.html"));
    // Ctrl+W closes it too.
    help = HelpWindow(&form);
    desktop.Focus(static_cast<uint32_t>(help->winId()));
    ASSERT_TRUE(WaitFor([&] { return QApplication::activeWindow() == help; }));
    desktop.Key(static_cast<uint32_t>(help->winId()), xk::w, TX11Desktop::kControl);
    EXPECT_TRUE(WaitFor([&] { return HelpWindow(&form) == nullptr; }));

    // "About" (Alt+?, A).
    desktop.Focus(main);
    ASSERT_TRUE(WaitFor([&] { return QApplication::activeWindow() == &form; }));
    desktop.Key(main, xk::question, TX11Desktop::kAlt);
    ASSERT_TRUE(WaitFor([&] { return QApplication::activePopupWidget() == form.menuHelp; }));
    desktop.Key(main, xk::a);
    ASSERT_TRUE(WaitFor([&] { return program->About() && program->About()->isVisible(); }));
    EXPECT_EQ(TX11Desktop::NetWmName(static_cast<uint32_t>(program->About()->winId())),
              QStringLiteral("About"));
    EXPECT_EQ(program->About()->parentWidget(), &form);
    QTest::qWait(100);
    KeepScreen(QStringLiteral("x11-about.png"));

    program.reset();
}

// The real program: its question at the first start, answered from the
// keyboard; About and the help window opened from the menu; then the
// window manager's close of the main window ends the process.
TEST(DesktopTest, TheProgramEndsWhenItsWindowClosesWithAboutAndHelpOpen) {
    App();
    QTemporaryDir data;
    ASSERT_TRUE(data.isValid());
    TX11Desktop desktop;
    ASSERT_TRUE(desktop.Connected());

    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), data.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(QStringLiteral(CQ_PROGRAM), {});
    ASSERT_TRUE(program.waitForStarted());
    const qint64 pid = program.processId();

    // No stored results for drive C: the first show asks, in a box "?".
    uint32_t question = 0;
    EXPECT_TRUE(WaitFor([&] { return (question = desktop.Find(pid, "?")) != 0; }, 30000));
    if (question) {
        desktop.Focus(question);
        desktop.Key(question, xk::Escape);
        EXPECT_TRUE(WaitFor([&] { return desktop.Find(pid, "?") == 0; }));
    }
    uint32_t main = 0;
    EXPECT_TRUE(WaitFor([&] { return (main = desktop.Find(pid, "Cobaltquarry 1.2 ")) != 0; }));
    if (main) {
        desktop.Focus(main);
        QTest::qWait(200);
        desktop.Key(main, xk::question, TX11Desktop::kAlt);
        desktop.Key(main, xk::a);
        EXPECT_TRUE(WaitFor([&] { return desktop.Find(pid, "About") != 0; }));
        desktop.Focus(main);
        QTest::qWait(200);
        desktop.Key(main, xk::question, TX11Desktop::kAlt);
        desktop.Key(main, xk::c);
        EXPECT_TRUE(WaitFor([&] { return desktop.Find(pid, "Cobaltquarry Help") != 0; }));
        EXPECT_EQ(desktop.Windows(pid).size(), 3u);
        desktop.Close(main);
    }
    const bool ended = program.waitForFinished(30000);
    if (!ended) {
        program.kill();
        program.waitForFinished();
    }
    EXPECT_TRUE(ended) << "the process outlived its main window";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
}

}  // namespace
