// The help engine plugin, loaded with dlopen as the program loads it, on the
// help file the build compiled.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileInfo>
#include <QListWidget>
#include <QPointer>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTreeWidget>

#include "app/help/HelpManager.h"
#include "app/help/HelpSetup.h"
#include "app/help/MenuHelp.h"
#include "platform/help/HelpEngineLibrary.h"
#include "tests/help/QtTestApp.h"

namespace cq::help {
namespace {

const std::string kPlugin = CQ_HELP_PLUGIN;
const QString kHelpFile = QStringLiteral(CQ_HELP_FILE);

class HelpPluginTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(library_.Loaded()) << library_.Error();
        ASSERT_TRUE(QFileInfo::exists(kHelpFile));
    }
    void TearDown() override { Run(nullptr, HH_CLOSE_ALL); }

    QWidget* Run(const QString& file, unsigned command, std::uintptr_t data = 0) {
        const QByteArray text = file.toUtf8();
        return static_cast<QWidget*>(
            library_.Entry()(nullptr, file.isNull() ? nullptr : text.constData(), command, data));
    }
    QWidget* Topic(const QString& topic) {
        return Run(kHelpFile + QStringLiteral("::/") + topic, HH_DISPLAY_TOPIC);
    }
    static QTextBrowser* Page(QWidget* window) {
        return window ? window->findChild<QTextBrowser*>(QStringLiteral("HelpPage")) : nullptr;
    }

    HelpEngineLibrary library_{kPlugin};
};

TEST_F(HelpPluginTest, EveryTopicPageOfTheBuiltHelpFileIsShown) {
    const std::vector<std::pair<QString, QString>> topics = {
        {"Html\\Analize_disk.html", "Analizing a disk"},
        {"Html\\Analize_folder.html", "Rescanning a folder"},
        {"Html\\Pie-Chart.html", "Pie chart"},
        {"Html\\Bar-Chart.html", "Bar chart"},
        {"Html\\Tree.html", "Folder tree"},
    };
    QWidget* first = nullptr;
    for (const auto& [topic, title] : topics) {
        QWidget* window = Topic(topic);
        ASSERT_NE(window, nullptr) << topic.toStdString();
        first = first ? first : window;
        // One window per help file, reused by every request.
        EXPECT_EQ(window, first);
        EXPECT_TRUE(window->isVisible());
        QTextBrowser* page = Page(window);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->documentTitle(), title);
        EXPECT_TRUE(page->toPlainText().startsWith(QStringLiteral("Start |")))
            << page->toPlainText().left(80).toStdString();
        EXPECT_GT(page->toPlainText().size(), 300);
        QString expected = topic;
        expected.replace(QLatin1Char('\\'), QLatin1Char('/'));
        EXPECT_EQ(page->source().path(), QLatin1Char('/') + expected);
    }
}

TEST_F(HelpPluginTest, LinksBetweenPagesAndPicturesResolveInsideTheFile) {
    QTextBrowser* page = Page(Topic(QStringLiteral("Html/Pie-Chart.html")));
    ASSERT_NE(page, nullptr);
    // The page's picture comes out of the archive.
    const QVariant picture = page->loadResource(QTextDocument::ImageResource,
                                                page->source().resolved(QUrl("images/pie.png")));
    QImage image;
    ASSERT_TRUE(image.loadFromData(picture.toByteArray()));
    EXPECT_EQ(image.size(), QSize(320, 240));

    Q_EMIT page->anchorClicked(QUrl(QStringLiteral("Bar-Chart.html")));
    EXPECT_EQ(page->source().path(), QStringLiteral("/Html/Bar-Chart.html"));
    EXPECT_EQ(page->documentTitle(), QStringLiteral("Bar chart"));
    page->backward();
    EXPECT_EQ(page->documentTitle(), QStringLiteral("Pie chart"));
}

TEST_F(HelpPluginTest, ContentsShowTheTreeAndTheStartPage) {
    QWidget* window = Run(kHelpFile, HH_DISPLAY_TOC);
    ASSERT_NE(window, nullptr);
    auto* tree = window->findChild<QTreeWidget*>(QStringLiteral("HelpContents"));
    ASSERT_NE(tree, nullptr);
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* start = tree->topLevelItem(0);
    EXPECT_EQ(start->text(0), QStringLiteral("Welcome to Cobaltquarry"));
    ASSERT_EQ(start->childCount(), 17);
    const char* const titles[] = {"Analizing a disk",
                                  "Rescanning a folder",
                                  "Pie chart",
                                  "Bar chart",
                                  "Folder tree",
                                  "Opening a scan file",
                                  "Opening a remote scan",
                                  "Changes",
                                  "Discover",
                                  "Finding files and folders",
                                  "Duplicates",
                                  "Disk usage",
                                  "Empty Trash",
                                  "Cleanups",
                                  "Excluding items from a scan",
                                  "Accessibility",
                                  "Treemap"};
    for (int i = 0; i < start->childCount(); ++i)
        EXPECT_EQ(start->child(i)->text(0), QString::fromUtf8(titles[i])) << i;
    EXPECT_EQ(Page(window)->documentTitle(), QStringLiteral("Welcome to Cobaltquarry"));
    EXPECT_EQ(window->findChild<QTabWidget*>()->currentWidget(), tree);

    // Choosing an entry shows its page.
    Q_EMIT tree->itemClicked(start->child(4), 0);
    EXPECT_EQ(Page(window)->documentTitle(), QStringLiteral("Folder tree"));
}

TEST_F(HelpPluginTest, IndexOpensAtTheKeyword) {
    const QByteArray keyword("rescan");
    QWidget* window =
        Run(kHelpFile, HH_DISPLAY_INDEX, reinterpret_cast<std::uintptr_t>(keyword.data()));
    ASSERT_NE(window, nullptr);
    auto* index = window->findChild<QListWidget*>(QStringLiteral("HelpIndex"));
    ASSERT_NE(index, nullptr);
    EXPECT_TRUE(index->isVisible());
    ASSERT_NE(index->currentItem(), nullptr);
    EXPECT_EQ(index->currentItem()->text(), QStringLiteral("Rescan"));

    const QByteArray prefix("PIE");
    Run(kHelpFile, HH_DISPLAY_INDEX, reinterpret_cast<std::uintptr_t>(prefix.data()));
    ASSERT_NE(index->currentItem(), nullptr);
    EXPECT_EQ(index->currentItem()->text(), QStringLiteral("Pie chart"));
    Q_EMIT index->itemActivated(index->currentItem());
    EXPECT_EQ(Page(window)->documentTitle(), QStringLiteral("Pie chart"));
    EXPECT_TRUE(
        window->grab().save(cq::test::ScreenshotFolder() + QStringLiteral("/help-index.png")));
}

TEST_F(HelpPluginTest, CloseAllClosesTheWindows) {
    QPointer<QWidget> window = Topic(QStringLiteral("Html\\Tree.html"));
    ASSERT_FALSE(window.isNull());
    Run(QString(), HH_CLOSE_ALL);
    EXPECT_TRUE(window.isNull());
}

TEST_F(HelpPluginTest, MissingFilesAndPagesShowNothingOrSayTheyAreMissing) {
    const int before = int(QApplication::topLevelWidgets().size());
    EXPECT_EQ(
        Run(QStringLiteral("/nonexistent/Cobaltquarry.chm::/Html\\Tree.html"), HH_DISPLAY_TOPIC),
        nullptr);
    // A file that is not a compiled help file at all.
    EXPECT_EQ(Run(QStringLiteral(CQ_HELP_PLUGIN "::/x.htm"), HH_DISPLAY_TOPIC), nullptr);
    EXPECT_EQ(Run(kHelpFile, HH_HELP_CONTEXT, 1), nullptr);
    EXPECT_EQ(int(QApplication::topLevelWidgets().size()), before);

    QTextBrowser* page = Page(Topic(QStringLiteral("Html\\NoSuchPage.html")));
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->toPlainText().contains(QStringLiteral("cannot be displayed")));
}

TEST_F(HelpPluginTest, ScreenshotOfTheHelpWindow) {
    QWidget* window = Topic(QStringLiteral("Html\\Pie-Chart.html"));
    ASSERT_NE(window, nullptr);
    const QImage shot = window->grab().toImage();
    ASSERT_FALSE(shot.isNull());
    EXPECT_TRUE(shot.save(cq::test::ScreenshotFolder() + QStringLiteral("/help-window.png")));
}

TEST_F(HelpPluginTest, MenuTopicReachesTheHelpWindowThroughTheViewer) {
    app::THelpManager manager;
    QWidget mainWindow;
    manager.SetHelpOwner(&mainWindow);
    manager.SetApplicationHelpFile(kHelpFile);
    app::THelpSetup setup(manager, kPlugin);
    ASSERT_TRUE(setup.Viewer()->EngineLoaded());

    app::ShowMenuHelp(manager, QStringLiteral("Html\\Pie-Chart.html"));
    auto* window = mainWindow.findChild<QWidget*>(QStringLiteral("HtmlHelpWindow"));
    ASSERT_NE(window, nullptr);  // owned by the main window
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(Page(window)->documentTitle(), QStringLiteral("Pie chart"));

    // The help system's soft shut-down closes it again.
    QPointer<QWidget> watched = window;
    manager.SoftShutDownAll();
    EXPECT_TRUE(watched.isNull());
}

TEST_F(HelpPluginTest, WindowGoesWithItsOwnerAndTheNextRequestOpensAFreshOne) {
    const QByteArray address = (kHelpFile + QStringLiteral("::/Html/Tree.html")).toUtf8();
    auto owner = std::make_unique<QWidget>();
    QPointer<QWidget> first = static_cast<QWidget*>(
        library_.Entry()(owner.get(), address.constData(), HH_DISPLAY_TOPIC, 0));
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(first->parentWidget(), owner.get());
    owner.reset();
    EXPECT_TRUE(first.isNull());

    QWidget* second = Topic(QStringLiteral("Html\\Tree.html"));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(Page(second)->documentTitle(), QStringLiteral("Folder tree"));
}

TEST(HelpEngineLibraryTest, MissingPluginOrEntryPointLeavesTheLibraryEmpty) {
    HelpEngineLibrary missing("/nonexistent/libcq_hhctrl.so");
    EXPECT_FALSE(missing.Loaded());
    EXPECT_EQ(missing.Entry(), nullptr);
    EXPECT_FALSE(missing.Error().empty());

    // A real shared object that does not export the entry point.
    HelpEngineLibrary wrong(CQ_OTHER_LIBRARY);
    EXPECT_FALSE(wrong.Loaded());
    EXPECT_FALSE(wrong.Error().empty());

    EXPECT_EQ(HelpEngineLibrary::DefaultPath("/opt/cq"), "/opt/cq/libcq_hhctrl.so");
    EXPECT_EQ(HelpEngineLibrary::DefaultPath("/opt/cq/"), "/opt/cq/libcq_hhctrl.so");
}

}  // namespace
}  // namespace cq::help
