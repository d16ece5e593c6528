// What the item commands do to the file system: the trash instead of
// deleting, renames that never replace anything, copy and cut that change
// everything or nothing.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <memory>

#include "platform/desktop/ItemActions.h"
#include "tests/pieui/TestApplication.h"

using namespace cq::desktop;

namespace {

class ItemActions : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        // The trash lives in the data home: point it into the test folder.
        qputenv("XDG_DATA_HOME", QFile::encodeName(root.filePath("share")));
        QDir(root.path()).mkpath("share");
        QDir(root.path()).mkpath("work/Data");
        QDir(root.path()).mkpath("work/data");
        QDir(root.path()).mkpath("work/target");
        Write("work/Data/big.bin", "upper");
        Write("work/data/big.bin", "lower");
        Write("work/notes.txt", "notes");
    }

    void Write(const QString& rel, const QByteArray& content) {
        QFile file(root.filePath(rel));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    QByteArray Read(const QString& rel) {
        QFile file(root.filePath(rel));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    bool Exists(const QString& rel) { return QFileInfo::exists(root.filePath(rel)); }
    std::string Native(const QString& rel) {
        return QFile::encodeName(root.filePath(rel)).toStdString();
    }
    QString TrashFiles() { return root.filePath("share/Trash/files"); }

    QTemporaryDir root;
};

}  // namespace

TEST_F(ItemActions, TrashMovesTheItemIntoTheTrashFolder) {
    QString where;
    const TActionResult result = MoveItemToTrash(Native("work/notes.txt"), &where);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_FALSE(Exists("work/notes.txt"));
    EXPECT_TRUE(where.startsWith(TrashFiles())) << where.toStdString();
    QFile trashed(TrashFiles() + "/notes.txt");
    ASSERT_TRUE(trashed.open(QIODevice::ReadOnly));
    EXPECT_EQ(trashed.readAll(), QByteArray("notes"));
    // The trash records where it came from, so it can be restored.
    EXPECT_TRUE(QFileInfo::exists(root.filePath("share/Trash/info/notes.txt.trashinfo")));
}

TEST_F(ItemActions, TrashOfTheLowerCaseTwinLeavesTheUpperCaseOne) {
    ASSERT_TRUE(MoveItemToTrash(Native("work/data")).ok);
    EXPECT_FALSE(Exists("work/data"));
    EXPECT_EQ(Read("work/Data/big.bin"), QByteArray("upper"));
    EXPECT_EQ(Read("share/Trash/files/data/big.bin"), QByteArray("lower"));
}

TEST_F(ItemActions, TrashOfAVanishedItemSaysSoAndChangesNothing) {
    const TActionResult result = MoveItemToTrash(Native("work/gone.txt"));
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.contains("no longer exists"));
    EXPECT_FALSE(QFileInfo::exists(TrashFiles()));
}

TEST_F(ItemActions, RenameRefusesEmptySlashAndExistingNames) {
    EXPECT_EQ(RenameRefusal(Native("work/notes.txt"), ""), QString("A name cannot be empty."));
    EXPECT_EQ(RenameRefusal(Native("work/notes.txt"), "a/b"),
              QString("A name cannot contain \"/\"."));
    EXPECT_TRUE(RenameRefusal(Native("work/notes.txt"), "Data").contains("already exists"));
    // Names differ by case only: "Notes.txt" is free, "data" is taken.
    EXPECT_TRUE(RenameRefusal(Native("work/notes.txt"), "Notes.txt").isEmpty());
    EXPECT_TRUE(RenameRefusal(Native("work/Data"), "data").contains("already exists"));
    for (const char* bad : {"", "x/y", "data", ".", ".."}) {
        const TActionResult result = RenameItem(Native("work/Data"), bad);
        EXPECT_FALSE(result.ok) << bad;
        EXPECT_FALSE(result.error.isEmpty()) << bad;
    }
    EXPECT_EQ(Read("work/Data/big.bin"), QByteArray("upper"));
    EXPECT_EQ(Read("work/data/big.bin"), QByteArray("lower"));
}

TEST_F(ItemActions, RenameMovesOnlyTheNamedTwin) {
    std::string renamed;
    const TActionResult result = RenameItem(Native("work/data"), "lower-case", &renamed);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(renamed, Native("work/lower-case"));
    EXPECT_EQ(Read("work/lower-case/big.bin"), QByteArray("lower"));
    EXPECT_EQ(Read("work/Data/big.bin"), QByteArray("upper"));
    EXPECT_FALSE(Exists("work/data"));
}

TEST_F(ItemActions, ClipboardFormsCarryTheItemsAndTheMode) {
    const TClipboardItems items{true,
                                {root.filePath("work/notes.txt"), root.filePath("work/Data")}};
    std::unique_ptr<QMimeData> data(ItemsMimeData(items));
    EXPECT_TRUE(data->data("x-special/gnome-copied-files").startsWith("cut\nfile://"));
    EXPECT_EQ(data->urls().size(), 2);
    const TClipboardItems back = ItemsFromMimeData(data.get());
    EXPECT_TRUE(back.cut);
    EXPECT_EQ(back.paths, items.paths);
    // Another program's copy: a URI list alone is a copy.
    QMimeData plain;
    plain.setUrls({QUrl::fromLocalFile("/tmp/x")});
    EXPECT_FALSE(ItemsFromMimeData(&plain).cut);
    EXPECT_EQ(ItemsFromMimeData(&plain).paths, QStringList{"/tmp/x"});
}

TEST_F(ItemActions, PasteCopiesFoldersWithEverythingInThem) {
    const TClipboardItems items{false,
                                {root.filePath("work/Data"), root.filePath("work/notes.txt")}};
    const TActionResult result = PasteItems(items, Native("work/target"));
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(Read("work/target/Data/big.bin"), QByteArray("upper"));
    EXPECT_EQ(Read("work/target/notes.txt"), QByteArray("notes"));
    // The originals stay, and no half-made copy is left behind.
    EXPECT_EQ(Read("work/Data/big.bin"), QByteArray("upper"));
    EXPECT_EQ(QDir(root.filePath("work/target"))
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                  .size(),
              2);
}

TEST_F(ItemActions, PasteOfACutMovesTheItem) {
    const TClipboardItems items{true, {root.filePath("work/notes.txt")}};
    ASSERT_TRUE(PasteItems(items, Native("work/target")).ok);
    EXPECT_FALSE(Exists("work/notes.txt"));
    EXPECT_EQ(Read("work/target/notes.txt"), QByteArray("notes"));
}

TEST_F(ItemActions, PasteRefusesExistingNamesAndChangesNothing) {
    Write("work/target/notes.txt", "older");
    // The first item could go, the second cannot: neither is pasted.
    const TClipboardItems items{false,
                                {root.filePath("work/Data"), root.filePath("work/notes.txt")}};
    const TActionResult result = PasteItems(items, Native("work/target"));
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.contains("already exists"));
    EXPECT_FALSE(Exists("work/target/Data"));
    EXPECT_EQ(Read("work/target/notes.txt"), QByteArray("older"));
}

TEST_F(ItemActions, PasteRefusesAFolderIntoItself) {
    const TClipboardItems items{false, {root.filePath("work")}};
    const TActionResult result = PasteItems(items, Native("work/Data"));
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.contains("into itself"));
    EXPECT_FALSE(Exists("work/Data/work"));
    EXPECT_FALSE(PasteItems(TClipboardItems{}, Native("work/Data")).ok);
}
