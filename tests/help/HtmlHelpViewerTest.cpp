// The HTML help viewer and the help manager, with a recording engine in
// place of the plugin.

#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <vector>

#include "app/help/HelpManager.h"
#include "app/help/HelpSetup.h"
#include "app/help/HtmlHelpViewer.h"
#include "app/help/MenuHelp.h"
#include "app/help/WinHelpTester.h"
#include "platform/desktop/ShellOpen.h"

namespace cq::app {
namespace {

struct EngineCall {
    void* owner;
    std::string file;  // "<null>" for a null file
    unsigned command;
    std::uintptr_t data;
    std::string keyword;  // HH_DISPLAY_INDEX: the text data points to
};

std::vector<EngineCall>& Calls() {
    static std::vector<EngineCall> calls;
    return calls;
}

void* RecordingEngine(void* owner, const char* file, unsigned command, std::uintptr_t data) {
    EngineCall call{owner, file ? file : "<null>", command, data, {}};
    if (command == help::HH_DISPLAY_INDEX && data != 0) {
        call.keyword = reinterpret_cast<const char*>(data);
    }
    Calls().push_back(call);
    return nullptr;
}

class HtmlHelpViewerTest : public ::testing::Test {
  protected:
    HtmlHelpViewerTest() : setup_(manager_, std::make_unique<THtmlHelpViewer>(&RecordingEngine)) {
        Calls().clear();
        manager_.SetApplicationHelpFile(QStringLiteral("/opt/cq/Cobaltquarry.chm"));
        manager_.SetHelpOwner(&owner_);
    }

    THtmlHelpViewer& Viewer() { return *setup_.Viewer(); }

    QWidget owner_;
    THelpManager manager_;
    THelpSetup setup_;
};

TEST_F(HtmlHelpViewerTest, TopicsGetTheDefaultExtensionUnlessTheyEndInHtmOrHtml) {
    const std::vector<std::pair<QString, std::string>> cases = {
        {"Html\\Tree", "Html\\Tree.htm"},
        {"Html\\Tree.HTML", "Html\\Tree.HTML"},
        {"Html\\Pie-Chart.html", "Html\\Pie-Chart.html"},
        {"Html\\Old.Htm", "Html\\Old.Htm"},
        {"Html\\notes.txt", "Html\\notes.txt.htm"},
        {"v1.2\\page", "v1.2\\page.htm"},
    };
    for (const auto& [topic, expected] : cases) {
        Calls().clear();
        EXPECT_TRUE(manager_.ShowTopicHelp(topic, manager_.ApplicationHelpFile()));
        ASSERT_EQ(Calls().size(), 1u) << topic.toStdString();
        EXPECT_EQ(Calls()[0].file, "/opt/cq/Cobaltquarry.chm::/" + expected);
        EXPECT_EQ(Calls()[0].command, help::HH_DISPLAY_TOPIC);
        EXPECT_EQ(Calls()[0].data, 0u);
        EXPECT_EQ(Calls()[0].owner, &owner_);
    }
}

TEST_F(HtmlHelpViewerTest, KeywordRequestShowsTheIndexAtTheWord) {
    EXPECT_EQ(Viewer().GetHelpStrings(QStringLiteral("word")),
              QStringList{QStringLiteral("QuenHtmlHelp: word")});

    Viewer().ShowHelp(QStringLiteral("QuenHtmlHelp: word"));
    // Through the manager as the program asks: the keyword's one help string.
    EXPECT_TRUE(manager_.ShowHelp(QStringLiteral("  rescan "), QString()));

    ASSERT_EQ(Calls().size(), 2u);
    EXPECT_EQ(Calls()[0].command, help::HH_DISPLAY_INDEX);
    EXPECT_EQ(Calls()[0].file, "/opt/cq/Cobaltquarry.chm");
    EXPECT_EQ(Calls()[0].keyword, "word");
    EXPECT_EQ(Calls()[1].keyword, "rescan");
}

TEST_F(HtmlHelpViewerTest, SelectKeywordAndTableOfContentsPickTheViewersOwnEntry) {
    EXPECT_EQ(Viewer().SelectKeyword({"QuenHtmlHelp: word", "Other: word"}), 0);
    EXPECT_EQ(Viewer().SelectKeyword({"Other: word", "Third: word"}), 0);
    EXPECT_EQ(Viewer().SelectKeyword({"Other: word", "QuenHtmlHelpX: a", "QuenHtmlHelp: b"}), 2);
    EXPECT_EQ(Viewer().SelectKeyword({"QuenHtmlHelp word", "QuenHtmlHelp: b"}), 1);
    EXPECT_EQ(Viewer().SelectKeyword({}), 0);

    EXPECT_EQ(Viewer().TableOfContents({"WinHelp", "QuenHtmlHelp"}), 1);
    EXPECT_EQ(Viewer().TableOfContents({"WinHelp"}), -1);
}

TEST_F(HtmlHelpViewerTest, HelpFileThatIsNotChmIsDeclinedEverywhere) {
    for (const QString& file :
         {QStringLiteral("/opt/cq/Cobaltquarry.hlp"), QStringLiteral("/opt/cq/chm"),
          QStringLiteral("/opt/x.chm/readme"), QStringLiteral("/opt/cq/help.chm.bak")}) {
        manager_.SetApplicationHelpFile(file);
        EXPECT_FALSE(Viewer().UnderstandsTopic(QStringLiteral("Html\\Tree.html")));
        EXPECT_EQ(Viewer().UnderstandsKeyword(QStringLiteral("word")), 0);
        EXPECT_FALSE(Viewer().UnderstandsContext(5, file));
        EXPECT_FALSE(manager_.ShowTopicHelp(QStringLiteral("Html\\Tree.html"), file));
        EXPECT_FALSE(manager_.ShowHelp(QStringLiteral("word"), file));
        Viewer().DisplayTopic(QStringLiteral("Html\\Tree.html"));
        Viewer().ShowTableOfContents();
        Viewer().ShowHelp(QStringLiteral("QuenHtmlHelp: word"));
        Viewer().DisplayHelpByContext(5, file);
    }
    EXPECT_TRUE(Calls().empty());
    // Any letter case of the extension counts.
    EXPECT_TRUE(THtmlHelpViewer::IsChm(QStringLiteral("/a/HELP.CHM")));
}

TEST_F(HtmlHelpViewerTest, HelpFileComesFromTheRequestThenTheApplicationThenTheProgramFolder) {
    Viewer().SetProgramFolder(QStringLiteral("/usr/lib/cq"));
    // A request's own file wins over the application's.
    manager_.ShowTopicHelp(QStringLiteral("a.htm"), QStringLiteral("/other/Other.chm"));
    // A bare name is looked for beside the program.
    manager_.SetApplicationHelpFile(QStringLiteral("Cobaltquarry.chm"));
    manager_.ShowTopicHelp(QStringLiteral("b.htm"), QString());
    ASSERT_EQ(Calls().size(), 2u);
    EXPECT_EQ(Calls()[0].file, "/other/Other.chm::/a.htm");
    EXPECT_EQ(Calls()[1].file, "/usr/lib/cq/Cobaltquarry.chm::/b.htm");
}

TEST_F(HtmlHelpViewerTest, ContentsContextAndShutDownCommands) {
    EXPECT_TRUE(Viewer().CanShowTableOfContents());
    EXPECT_TRUE(manager_.ShowTableOfContents());
    EXPECT_TRUE(manager_.ShowContextHelp(42, QStringLiteral("/opt/cq/Cobaltquarry.chm")));
    Viewer().SoftShutDown();
    ASSERT_EQ(Calls().size(), 3u);
    EXPECT_EQ(Calls()[0].command, help::HH_DISPLAY_TOC);
    EXPECT_EQ(Calls()[0].file, "/opt/cq/Cobaltquarry.chm");
    EXPECT_EQ(Calls()[1].command, help::HH_HELP_CONTEXT);
    EXPECT_EQ(Calls()[1].data, 42u);
    // Closing every window names neither an owner nor a file.
    EXPECT_EQ(Calls()[2].command, help::HH_CLOSE_ALL);
    EXPECT_EQ(Calls()[2].owner, nullptr);
    EXPECT_EQ(Calls()[2].file, "<null>");

    Viewer().ShutDown();
    EXPECT_EQ(Viewer().Manager(), nullptr);
    EXPECT_EQ(Calls().back().command, help::HH_CLOSE_ALL);
}

TEST(HelpSetupTest, RegistersViewerSelectorAndTesterAndReleasesThemAtTheEnd) {
    THelpManager manager;
    {
        THelpSetup setup(manager, std::make_unique<THtmlHelpViewer>(&RecordingEngine));
        EXPECT_EQ(manager.ViewerCount(), 1);
        EXPECT_EQ(setup.Viewer()->Manager(), &manager);
        EXPECT_NE(setup.Viewer()->ViewerId(), 0);
        EXPECT_EQ(manager.HelpSelector(), setup.Viewer());
        EXPECT_EQ(manager.WinHelpTester(), setup.Tester());
        EXPECT_EQ(setup.Viewer()->GetViewerName(), QStringLiteral("QuenHtmlHelp"));
        EXPECT_EQ(setup.Viewer()->DefaultExtension(), QStringLiteral(".htm"));
    }
    EXPECT_EQ(manager.ViewerCount(), 0);
    EXPECT_EQ(manager.HelpSelector(), nullptr);
    EXPECT_EQ(manager.WinHelpTester(), nullptr);
}

TEST(HelpSetupTest, MissingPluginMakesEveryRequestDoNothing) {
    THelpManager manager;
    QWidget owner;
    manager.SetHelpOwner(&owner);
    manager.SetApplicationHelpFile(QStringLiteral("/opt/cq/Cobaltquarry.chm"));
    THelpSetup setup(manager, "/nonexistent/libcq_hhctrl.so");
    EXPECT_FALSE(setup.Viewer()->EngineLoaded());

    const int windowsBefore = int(QApplication::topLevelWidgets().size());
    manager.ShowTopicHelp(QStringLiteral("Html\\Tree.html"), manager.ApplicationHelpFile());
    manager.ShowHelp(QStringLiteral("word"), QString());
    manager.ShowContextHelp(3, manager.ApplicationHelpFile());
    manager.ShowTableOfContents();
    manager.SoftShutDownAll();
    EXPECT_EQ(int(QApplication::topLevelWidgets().size()), windowsBefore);
}

TEST(WinHelpTesterTest, AnswersEverythingInTheNegative) {
    TWinHelpTester tester;
    EXPECT_FALSE(tester.CanShowALink(QStringLiteral("a"), QStringLiteral("f.hlp")));
    EXPECT_FALSE(tester.CanShowTopic(QStringLiteral("t"), QStringLiteral("f.hlp")));
    EXPECT_FALSE(tester.CanShowContext(1, QStringLiteral("f.hlp")));
    EXPECT_EQ(tester.GetHelpStrings(QStringLiteral("link")), QStringList{QStringLiteral(": link")});
    EXPECT_TRUE(tester.GetHelpPath().isEmpty());
    EXPECT_TRUE(tester.GetDefaultHelpFile().isEmpty());
}

TEST(WinHelpTesterTest, KeepsRequestsNobodyTookAwayFromTheLegacyViewer) {
    THelpManager manager;
    QStringList legacy;
    manager.SetLegacyViewer([&legacy](const QString& request) { legacy << request; });
    // Without the tester the legacy viewer would get a non-.chm topic ...
    manager.ShowTopicHelp(QStringLiteral("t"), QStringLiteral("/a/old.hlp"));
    EXPECT_EQ(legacy.size(), 1);
    // ... with the program's help set up it gets nothing.
    THelpSetup setup(manager, std::make_unique<THtmlHelpViewer>(&RecordingEngine));
    manager.ShowTopicHelp(QStringLiteral("t"), QStringLiteral("/a/old.hlp"));
    manager.ShowContextHelp(7, QStringLiteral("/a/old.hlp"));
    manager.ShowHelp(QStringLiteral("w"), QStringLiteral("/a/old.hlp"));
    EXPECT_EQ(legacy.size(), 1);
}

TEST(MenuHelpTest, HintAsksForTheTopicAndEmptyHintOpensTheWholeFileInTheOwnHelpWindow) {
    Calls().clear();
    std::vector<QUrl> opened;
    const auto previous =
        desktop::SetShellOpenHook([&opened](const QUrl& url) { opened.push_back(url); });
    {
        THelpManager manager;
        manager.SetApplicationHelpFile(QStringLiteral("/opt/cq/Cobaltquarry.chm"));
        THelpSetup setup(manager, std::make_unique<THtmlHelpViewer>(&RecordingEngine));
        ShowMenuHelp(manager, QStringLiteral("Html\\Pie-Chart.html"));
        ShowMenuHelp(manager, QString());
    }
    // The file alone, no topic: the engine shows its start page; the
    // desktop is not asked.
    ASSERT_EQ(Calls().size(), 2u);
    EXPECT_EQ(Calls()[0].file, "/opt/cq/Cobaltquarry.chm::/Html\\Pie-Chart.html");
    EXPECT_EQ(Calls()[1].file, "/opt/cq/Cobaltquarry.chm");
    EXPECT_EQ(Calls()[1].command, help::HH_DISPLAY_TOPIC);
    EXPECT_TRUE(opened.empty());

    // Without the engine the file goes to the desktop's "open".
    Calls().clear();
    {
        THelpManager manager;
        manager.SetApplicationHelpFile(QStringLiteral("/opt/cq/Cobaltquarry.chm"));
        THelpSetup setup(manager, std::make_unique<THtmlHelpViewer>(nullptr));
        ShowMenuHelp(manager, QString());
        ShowMenuHelp(manager, QStringLiteral("Html\\Pie-Chart.html"));
    }
    desktop::SetShellOpenHook(previous);
    EXPECT_TRUE(Calls().empty());
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(QStringLiteral("/opt/cq/Cobaltquarry.chm")));
    EXPECT_TRUE(ProgramHelpFile().endsWith(QStringLiteral("/Cobaltquarry.chm")));
}

}  // namespace
}  // namespace cq::app
