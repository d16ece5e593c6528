// The About window: figures, keys, links and what it looks like.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QTest>
#include <QToolButton>
#include <functional>
#include <vector>

#include "app/about/AboutFigures.h"
#include "app/about/FormAbout.h"
#include "app/about/ProjectLinks.h"
#include "engine/ProgramVersion.h"
#include "platform/desktop/ShellOpen.h"
#include "tests/help/QtTestApp.h"
#include "views/gradient/Gradient.h"

namespace cq::app {
namespace {

const QLocale kCommaLocale(QLocale::English, QLocale::UnitedStates);
const platform::TMemoryStatus kHalfGigabyte{536870912, 37};

TEST(AboutFiguresTest, MemoryTextsUseTheLocalesThousandsSeparator) {
    EXPECT_EQ(FormatPhysMem(536870912, kCommaLocale), QStringLiteral("524,288 KB"));
    EXPECT_EQ(FormatPhysMem(536870912, QLocale(QLocale::German, QLocale::Germany)),
              QStringLiteral("524.288 KB"));
    EXPECT_EQ(FormatPhysMem(536870912, QLocale::c()), QStringLiteral("524288 KB"));
    EXPECT_EQ(FormatPhysMem(17179869184ull, kCommaLocale), QStringLiteral("16,777,216 KB"));
    // Rounded to whole kilobytes, no decimals.
    EXPECT_EQ(FormatPhysMem(1535, kCommaLocale), QStringLiteral("1 KB"));
    EXPECT_EQ(FormatPhysMem(1536, kCommaLocale), QStringLiteral("2 KB"));
    EXPECT_EQ(FormatPhysMem(1024000, kCommaLocale), QStringLiteral("1,000 KB"));
    EXPECT_EQ(FormatPhysMem(999 * 1024, kCommaLocale), QStringLiteral("999 KB"));

    EXPECT_EQ(FormatMemoryLoad(37), QStringLiteral("37 %"));
    EXPECT_EQ(FormatMemoryLoad(0), QStringLiteral("0 %"));
    EXPECT_EQ(FormatMemoryLoad(100), QStringLiteral("100 %"));
}

TEST(AboutTest, ShowsTheFiguresOfItsCreationOnEveryOpening) {
    TFormAbout about(kHalfGigabyte, kCommaLocale);
    for (int opening = 0; opening < 3; ++opening) {
        about.show();
        EXPECT_EQ(about.PhysMem()->text(), QStringLiteral("524,288 KB"));
        EXPECT_EQ(about.FreeRes()->text(), QStringLiteral("37 %"));
        QTest::mouseClick(about.OkButton(), Qt::LeftButton);
        EXPECT_FALSE(about.isVisible());
    }
}

TEST(AboutTest, SystemFiguresArePlausibleAndStayTheSame) {
    TFormAbout about;
    const QString total = about.PhysMem()->text();
    const QString load = about.FreeRes()->text();
    EXPECT_TRUE(total.endsWith(QStringLiteral(" KB")));
    EXPECT_GT(total.size(), 4);
    EXPECT_TRUE(load.endsWith(QStringLiteral(" %")));
    about.show();
    about.hide();
    about.show();
    EXPECT_EQ(about.PhysMem()->text(), total);
    EXPECT_EQ(about.FreeRes()->text(), load);
}

TEST(AboutTest, EscapeHidesItWhicheverControlHasTheKeysAndLeavesTheMainWindowAlone) {
    QWidget mainWindow;
    mainWindow.show();
    TFormAbout about(kHalfGigabyte, kCommaLocale, &mainWindow);
    about.show();
    QTest::keyClick(about.OkButton(), Qt::Key_Escape);
    EXPECT_FALSE(about.isVisible());
    about.show();
    QTest::keyClick(&about, Qt::Key_Escape);
    EXPECT_FALSE(about.isVisible());
    about.show();
    QTest::keyClick(about.PhysMem(), Qt::Key_A);
    EXPECT_TRUE(about.isVisible());
    EXPECT_TRUE(mainWindow.isVisible());
}

TEST(AboutTest, IconRunsTheHomePageOpenerAndTheMakerLineItsMailLink) {
    std::vector<QUrl> opened;
    const auto previous =
        desktop::SetShellOpenHook([&opened](const QUrl& url) { opened.push_back(url); });
    TFormAbout about(kHalfGigabyte, kCommaLocale);
    int homePages = 0;
    about.SetHomePageOpener([&homePages] { ++homePages; });
    about.SetMakerMail(MailLink(QStringLiteral(" ann@localhost ")));
    about.show();
    QTest::mouseClick(about.ProgramIcon(), Qt::LeftButton);
    QTest::mouseClick(about.MakerLabel(), Qt::LeftButton);
    QTest::mouseClick(about.PhysMem(), Qt::LeftButton);
    EXPECT_EQ(homePages, 1);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl(QStringLiteral("mailto:ann@localhost")));
    EXPECT_TRUE(about.isVisible());

    // Without a mail address the line is plain text: no click, no hand.
    about.SetMakerMail(QString());
    QTest::mouseClick(about.MakerLabel(), Qt::LeftButton);
    EXPECT_EQ(opened.size(), 1u);
    EXPECT_NE(about.MakerLabel()->cursor().shape(), Qt::PointingHandCursor);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(about.MakerLabel(), &enter);
    EXPECT_EQ(about.MakerLabel()->palette().color(QPalette::WindowText), QColor(Qt::black));
    desktop::SetShellOpenHook(previous);
}

TEST(ProjectLinksTest, MailLinksAndTheBuildsAddresses) {
    EXPECT_EQ(MailLink(QString()), QString());
    EXPECT_EQ(MailLink(QStringLiteral("  ")), QString());
    EXPECT_EQ(MailLink(QStringLiteral("ann@localhost")), QStringLiteral("mailto:ann@localhost"));
    EXPECT_EQ(MailLink(QStringLiteral("MAILTO:ann@localhost")),
              QStringLiteral("MAILTO:ann@localhost"));
    // Whatever the build was given, and nothing invented when it was not.
    for (const QString& address : {HomePageAddress(), MakerMailAddress()}) {
        EXPECT_FALSE(address.contains(QStringLiteral("example."))) << address.toStdString();
    }
    EXPECT_TRUE(MakerMailAddress().isEmpty() || MakerMailAddress().startsWith("mailto:"));
    // The About window starts with the build's mail link.
    TFormAbout about(kHalfGigabyte, kCommaLocale);
    EXPECT_EQ(about.MakerMail(), MakerMailAddress());
}

TEST(AboutTest, MakerLineTurnsBlueUnderThePointer) {
    TFormAbout about(kHalfGigabyte, kCommaLocale);
    about.SetMakerMail(QStringLiteral("mailto:ann@localhost"));
    about.show();
    QLabel* maker = about.MakerLabel();
    EXPECT_EQ(maker->palette().color(QPalette::WindowText), QColor(Qt::black));
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(maker, &enter);
    EXPECT_EQ(maker->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(maker, &leave);
    EXPECT_EQ(maker->palette().color(QPalette::WindowText), QColor(Qt::black));
    EXPECT_EQ(maker->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(about.ProgramIcon()->cursor().shape(), Qt::PointingHandCursor);
}

// The About window and cobaltquarry-scan --version show one version.
TEST(AboutTest, ShowsTheProgramsVersion) {
    TFormAbout about(kHalfGigabyte, kCommaLocale);
    QStringList texts;
    for (const QLabel* label : about.findChildren<QLabel*>())
        texts << label->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("version ") + QLatin1String(kProgramVersion)))
        << texts.join(" | ").toStdString();
}

// A reader hears a name for everything that can be clicked or focused:
// the picture-only button and the icon that opens the home page too.
TEST(AboutTest, EveryControlHasANameForAReader) {
    TFormAbout about(kHalfGigabyte, kCommaLocale);
    about.show();
    QStringList unnamed;
    int named = 0;
    const std::function<void(QAccessibleInterface*)> visit = [&](QAccessibleInterface* node) {
        const QString name = node->text(QAccessible::Name);
        const bool control = node->state().focusable || node->role() == QAccessible::Graphic ||
                             node->role() == QAccessible::Button;
        if (control && name.isEmpty())
            unnamed << node->object()->objectName();
        named += control && !name.isEmpty();
        for (int i = 0; i < node->childCount(); ++i)
            visit(node->child(i));
    };
    visit(QAccessible::queryAccessibleInterface(&about));
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(", ").toStdString();
    EXPECT_GE(named, 2);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(about.findChild<QToolButton*>("btnOK"))
                  ->text(QAccessible::Name),
              QStringLiteral("OK"));
}

TEST(AboutTest, LayoutAndScreenshot) {
    TFormAbout about(kHalfGigabyte, kCommaLocale);
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About"));
    EXPECT_EQ(about.size(), QSize(414, 269));
    EXPECT_EQ(about.ProgramIcon()->geometry(), QRect(16, 16, 32, 32));
    EXPECT_EQ(about.MakerLabel()->pos(), QPoint(60, 88));
    EXPECT_EQ(about.PhysMem()->pos(), QPoint(172, 148));
    EXPECT_EQ(about.FreeRes()->pos(), QPoint(172, 176));
    EXPECT_EQ(about.OkButton()->geometry(), QRect(172, 216, 70, 29));
    EXPECT_EQ(about.OkButton()->toolTip(), QStringLiteral("OK"));
    EXPECT_EQ(about.Gradient()->geometry(), about.rect());
    EXPECT_EQ(about.Gradient()->Style(), gsDiagonalLF);

    about.show();
    const QImage shot = about.grab().toImage();
    ASSERT_EQ(shot.size(), QSize(414, 269));
    // The gradient runs across the whole window: opposite corners differ.
    EXPECT_NE(shot.pixelColor(400, 5), shot.pixelColor(5, 260));
    EXPECT_TRUE(shot.save(cq::test::ScreenshotFolder() + QStringLiteral("/about.png")));
}

}  // namespace
}  // namespace cq::app
