#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <string>
#include <vector>

#include "tests/viewdata/TempDrive.h"
#include "views/tree/IconCache.h"
#include "views/tree/ShellListModel.h"
#include "views/tree/ShellNameOrder.h"

namespace {

std::vector<std::string> Names(const TShellListModel& model) {
    std::vector<std::string> names;
    for (const TShellFolder& item : model.Items()) {
        names.push_back(item.Name());
    }
    return names;
}

class ShellListModelTest : public ::testing::Test {
  protected:
    TTempDrive drive;
    TIconCache icons;
    TShellListModel model{&icons};
};

TEST_F(ShellListModelTest, FoldersAndFolderLinksComeFirstEachGroupInNaturalCaselessOrder) {
    drive.MakeFolder("zeta");
    drive.MakeFolder("Alpha 10");
    drive.MakeFolder("alpha 9");
    drive.MakeFolder(".hidden");
    drive.MakeFile("File 10.txt", 1);
    drive.MakeFile("file 2.txt", 1);
    drive.MakeFile("Banana", 1);
    drive.MakeFile(".profile", 1);
    drive.MakeLink("zeta", "link to zeta");
    drive.MakeLink("Banana", "link to banana");
    drive.MakeLink("missing", "dangling");

    ASSERT_TRUE(model.SetRoot("T:\\"));
    const std::vector<std::string> expected = {
        ".hidden", "alpha 9",  "Alpha 10",   "link to zeta", "zeta",          ".profile",
        "Banana",  "dangling", "file 2.txt", "File 10.txt",  "link to banana"};
    EXPECT_EQ(Names(model), expected);
    EXPECT_EQ(model.FolderCount(), 5);
    EXPECT_EQ(model.Item(3).Kind(), TShellFolder::TKind::FolderLink);
    EXPECT_TRUE(model.Item(3).IsFolder());
    EXPECT_FALSE(model.Item(10).IsFolder());
    EXPECT_TRUE(model.Item(10).IsLink());
}

TEST_F(ShellListModelTest, NamesEqualButForCaseAreBothListedInByteOrder) {
    drive.MakeFolder("data");
    drive.MakeFolder("Data");
    ASSERT_TRUE(model.SetRoot("T:\\"));
    EXPECT_EQ(Names(model), (std::vector<std::string>{"Data", "data"}));
}

TEST_F(ShellListModelTest, PathsAreInTheDriveFormWithEscapes) {
    drive.MakeFolder("sub/inner");
    drive.MakeFile("sub/back\\slash 100%", 3);
    drive.MakeFile("caf\xe9", 1);
    ASSERT_TRUE(model.SetRoot("T:\\"));
    ASSERT_EQ(model.Count(), 2);
    // Names that are not valid in the locale's encoding keep their bytes.
    EXPECT_EQ(model.Item(1).PathName(), "T:\\caf\xe9");
    EXPECT_EQ(model.Item(1).Name(), "caf\xe9");
    drive.Remove("caf\xe9");
    ASSERT_TRUE(model.SetRoot("T:\\"));
    EXPECT_EQ(model.Root(), "T:\\");
    EXPECT_EQ(model.RootFolder().PathName(), "T:\\");
    ASSERT_EQ(model.Count(), 1);
    EXPECT_EQ(model.Item(0).PathName(), "T:\\sub");

    ASSERT_TRUE(model.SetRoot("T:\\sub"));
    EXPECT_EQ(model.RootFolder().PathName(), "T:\\sub");
    EXPECT_EQ(model.RootFolder().DisplayName(), QStringLiteral("sub"));
    ASSERT_EQ(model.Count(), 2);
    EXPECT_EQ(model.Item(0).PathName(), "T:\\sub\\inner");
    EXPECT_EQ(model.Item(1).PathName(), "T:\\sub\\back%5Cslash 100%25");
    EXPECT_EQ(model.Item(1).DisplayName(), QStringLiteral("back\\slash 100%"));
    EXPECT_EQ(model.Item(1).Size(), 3);
    EXPECT_EQ(model.IndexOfPath("T:\\sub\\back%5Cslash 100%25"), 1);
    EXPECT_EQ(model.IndexOfPath("T:\\SUB\\INNER"), -1);
}

TEST_F(ShellListModelTest, RootTextsAreNormalised) {
    drive.MakeFolder("sub");
    ASSERT_TRUE(model.SetRoot("t:"));
    EXPECT_EQ(model.Root(), "T:\\");
    ASSERT_TRUE(model.SetRoot("t:\\sub\\"));
    EXPECT_EQ(model.Root(), "T:\\sub");
}

TEST_F(ShellListModelTest, AnUnresolvableRootReportsAndKeepsThePreviousOne) {
    drive.MakeFolder("sub");
    drive.MakeFile("sub/file", 5);
    drive.MakeFile("plain", 5);
    ASSERT_TRUE(model.SetRoot("T:\\sub"));
    QString reported;
    model.OnError = [&](const QString& message) { reported = message; };

    for (const char* bad : {"T:\\missing", "Q:\\", "T:\\plain", "no drive", ""}) {
        SCOPED_TRACE(bad);
        reported.clear();
        EXPECT_FALSE(model.SetRoot(bad));
        EXPECT_FALSE(reported.isEmpty());
        EXPECT_EQ(reported, model.LastError());
        EXPECT_EQ(model.Root(), "T:\\sub");
        ASSERT_EQ(model.Count(), 1);
        EXPECT_EQ(model.Item(0).Name(), "file");
    }
    EXPECT_TRUE(model.SetRoot("T:\\"));
    EXPECT_TRUE(model.LastError().isEmpty());
}

TEST_F(ShellListModelTest, RefreshSeesNewItemsAndAVanishedRootLeavesNoItems) {
    drive.MakeFolder("sub");
    ASSERT_TRUE(model.SetRoot("T:\\sub"));
    EXPECT_EQ(model.Count(), 0);
    int changes = 0;
    model.OnChange = [&] { ++changes; };
    drive.MakeFile("sub/new", 1);
    EXPECT_TRUE(model.Refresh());
    EXPECT_EQ(model.Count(), 1);
    drive.Remove("sub");
    EXPECT_FALSE(model.Refresh());
    EXPECT_EQ(model.Count(), 0);
    EXPECT_EQ(changes, 2);
}

TEST_F(ShellListModelTest, DetailTextsDescribeSizeTypeAndDate) {
    drive.MakeFolder("docs");
    drive.MakeFile("notes.txt", 1);
    drive.MakeFile("big.txt", 1025);
    drive.MakeFile("empty.txt", 0);
    ASSERT_TRUE(model.SetRoot("T:\\"));
    ASSERT_EQ(model.Count(), 4);
    const TShellFolder& folder = model.Item(0);
    EXPECT_EQ(folder.SizeText(), QString());
    EXPECT_EQ(folder.TypeName(), QStringLiteral("inode/directory"));
    EXPECT_EQ(model.Item(1).SizeText(), QStringLiteral("2 KB"));
    EXPECT_EQ(model.Item(2).SizeText(), QStringLiteral("0 KB"));
    const TShellFolder& notes = model.Item(3);
    EXPECT_EQ(notes.SizeText(), QStringLiteral("1 KB"));
    EXPECT_EQ(notes.TypeName(), QStringLiteral("text/plain"));
    EXPECT_FALSE(notes.TypeText().isEmpty());
    EXPECT_NE(notes.TypeText(), folder.TypeText());
    EXPECT_EQ(notes.Details().size(), 3);
    EXPECT_TRUE(
        QDateTime::fromString(notes.DateText(), QStringLiteral("yyyy-MM-dd HH:mm")).isValid());
}

TEST_F(ShellListModelTest, IconIndexesAreSharedPerType) {
    drive.MakeFolder("a");
    drive.MakeFolder("b");
    drive.MakeFile("one.txt", 1);
    drive.MakeFile("two.txt", 1);
    drive.MakeFile("three.png", 1);
    ASSERT_TRUE(model.SetRoot("T:\\"));
    ASSERT_EQ(model.Count(), 5);
    const int folder = model.Item(0).ImageIndex();
    EXPECT_EQ(model.Item(1).ImageIndex(), folder);
    const int text = model.Item(2).ImageIndex();  // "one.txt" < "three.png" < "two.txt"
    const int png = model.Item(3).ImageIndex();
    EXPECT_EQ(model.Item(4).ImageIndex(), text);
    EXPECT_NE(folder, text);
    EXPECT_NE(png, text);
    EXPECT_EQ(icons.Count(), 3);
    EXPECT_EQ(icons.Key(folder), TIconCache::kFolderKey);
}

TEST(IconCacheTest, ProviderIsAskedOncePerEntryAndAgainAfterReplacement) {
    int asked = 0;
    TIconCache cache([&](const QString&) {
        ++asked;
        return QIcon();
    });
    const int a = cache.IndexOf("text/plain");
    EXPECT_EQ(cache.IndexOf("image/png"), a + 1);
    EXPECT_EQ(cache.IndexOf("text/plain"), a);
    cache.Icon(a);
    cache.Icon(a);
    EXPECT_EQ(asked, 1);
    cache.SetProvider([&](const QString&) {
        asked += 10;
        return QIcon();
    });
    cache.Icon(a);
    EXPECT_EQ(asked, 11);
    EXPECT_TRUE(cache.Icon(99).isNull());
    EXPECT_EQ(cache.Key(-1), QString());
}

TEST(ShellNameOrderTest, TheCLocaleStillSortsNaturallyAndWithoutCase) {
    const TShellNameOrder order(QLocale::c());
    EXPECT_LT(order.Compare("a9", "a10"), 0);
    EXPECT_LT(order.Compare("apple", "Banana"), 0);
    EXPECT_LT(order.Compare("Banana", "cherry"), 0);
    EXPECT_LT(order.Key("File 2").compare(order.Key("file 10")), 0);
}

}  // namespace
