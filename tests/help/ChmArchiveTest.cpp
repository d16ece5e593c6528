// Reading the compiled help file and its contents and index files.

#include <gtest/gtest.h>

#include "help/engine/ChmArchive.h"
#include "help/engine/HtmlHelpEngine.h"
#include "help/engine/SiteMap.h"

namespace cq::help {
namespace {

TEST(ChmArchiveTest, BuiltHelpFileHoldsEveryPageAndDeclaresStartContentsAndIndex) {
    ChmArchive archive(QStringLiteral(CQ_HELP_FILE));
    ASSERT_TRUE(archive.IsOpen());
    EXPECT_EQ(archive.Title(), QStringLiteral("Cobaltquarry Help"));
    EXPECT_EQ(archive.DefaultTopic(), QStringLiteral("/Html/Start.html"));
    EXPECT_EQ(archive.ContentsFile(), QStringLiteral("/Contents.hhc"));
    EXPECT_EQ(archive.IndexFile(), QStringLiteral("/Index.hhk"));
    const QStringList files = archive.Files();
    for (const char* page :
         {"/Html/Start.html", "/Html/Analize_disk.html", "/Html/Analize_folder.html",
          "/Html/Pie-Chart.html", "/Html/Bar-Chart.html", "/Html/Tree.html", "/Html/images/pie.png",
          "/Html/Changes.html", "/Html/Disk_usage.html", "/Html/Accessibility.html",
          "/Html/Empty_trash.html", "/Html/Cleanups.html", "/Html/Exclude.html",
          "/Html/help.css"}) {
        EXPECT_TRUE(files.contains(QString::fromLatin1(page))) << page;
    }
    // Topics are looked up the way help requests write them.
    EXPECT_TRUE(archive.Read(QStringLiteral("Html\\TREE.html")).contains("<h1>Folder tree</h1>"));
    EXPECT_TRUE(archive.Read(QStringLiteral("Html\\Accessibility.html"))
                    .contains("<h1>Accessibility</h1>"));
    EXPECT_TRUE(archive.Read(QStringLiteral("/Html/Missing.html")).isEmpty());
    EXPECT_FALSE(archive.Contains(QStringLiteral("/Html/")));
    EXPECT_FALSE(archive.Contains(QStringLiteral("/")));
}

TEST(ChmArchiveTest, FilesThatAreNotHelpFilesDoNotOpen) {
    EXPECT_FALSE(ChmArchive(QStringLiteral("/nonexistent.chm")).IsOpen());
    ChmArchive notChm(QStringLiteral(CQ_HELP_PLUGIN));
    EXPECT_FALSE(notChm.IsOpen());
    EXPECT_TRUE(notChm.Read(QStringLiteral("/Html/Tree.html")).isEmpty());
    EXPECT_TRUE(notChm.Files().isEmpty());
}

TEST(ChmArchiveTest, AddressesSplitIntoFileAndTopic) {
    using P = std::pair<QString, QString>;
    EXPECT_EQ(HtmlHelpEngine::SplitAddress("/a/Help.chm::/Html\\Tree.html"),
              P("/a/Help.chm", "Html\\Tree.html"));
    EXPECT_EQ(HtmlHelpEngine::SplitAddress("/odd::dir/Help.CHM::/t.htm"),
              P("/odd::dir/Help.CHM", "t.htm"));
    EXPECT_EQ(HtmlHelpEngine::SplitAddress("/a/Help.chm"), P("/a/Help.chm", ""));
    EXPECT_EQ(ChmArchive::NormalizePath("Html\\Tree.html"), QStringLiteral("/Html/Tree.html"));
}

TEST(SiteMapTest, NestedListsBecomeATreeAndPropertiesAreSkipped) {
    const QString html = QStringLiteral(R"(
<HTML><BODY>
<OBJECT type="text/site properties"><param name="Window Styles" value="0x800025"></OBJECT>
<UL>
  <LI> <OBJECT type="text/sitemap"><param name="Name" value="Start"><param name="Local" value="Html/Start.html"></OBJECT>
  <UL>
    <li><object type='text/sitemap'><PARAM NAME=name VALUE="Pies &amp; bars"><param name="local" value="Html/Pie-Chart.html"></object>
    <LI><OBJECT type="text/sitemap"><param name="Name" value="Tree"><param name="Local" value="Html/Tree.html"><param name="Local" value="Html/Other.html"></OBJECT>
  </UL>
  <LI><OBJECT type="text/sitemap"><param name="Name" value="Book without page"></OBJECT>
  <LI><OBJECT type="text/sitemap"><param name="Local" value="Html/Nameless.html"></OBJECT>
</UL>
</BODY></HTML>)");
    const auto entries = ParseSiteMap(html);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, QStringLiteral("Start"));
    EXPECT_EQ(entries[0].local, QStringLiteral("Html/Start.html"));
    ASSERT_EQ(entries[0].children.size(), 2u);
    EXPECT_EQ(entries[0].children[0].name, QStringLiteral("Pies & bars"));
    EXPECT_EQ(entries[0].children[0].local, QStringLiteral("Html/Pie-Chart.html"));
    EXPECT_EQ(entries[0].children[1].local, QStringLiteral("Html/Tree.html"));
    EXPECT_EQ(entries[1].name, QStringLiteral("Book without page"));
    EXPECT_TRUE(entries[1].local.isEmpty());
}

TEST(SiteMapTest, BrokenNestingDoesNotLoseEntries) {
    // A stray </UL> and a list that is never closed.
    const QString html = QStringLiteral(
        "</UL><UL><UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"A\"></OBJECT>"
        "<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"B\">");
    const auto entries = ParseSiteMap(html);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, QStringLiteral("A"));
    ASSERT_EQ(entries[0].children.size(), 1u);
    EXPECT_EQ(entries[0].children[0].name, QStringLiteral("B"));
    EXPECT_TRUE(ParseSiteMap(QString()).empty());
}

}  // namespace
}  // namespace cq::help
