// What the item commands do to the file system: the trash instead of
// deleting, renames that never replace anything, copy and cut that change
// everything or nothing.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "platform/desktop/ItemActions.h"
#include "platform/desktop/ShellOpen.h"
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

    // Names that are not valid UTF-8 are beyond QTemporaryDir's clean-up.
    void TearDown() override { std::filesystem::remove_all(Native("")); }

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
    std::string where;
    const TActionResult result = MoveItemToTrash(Native("work/notes.txt"), &where);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_FALSE(Exists("work/notes.txt"));
    EXPECT_EQ(where, TrashFiles().toStdString() + "/notes.txt");
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
    const TClipboardItems items{true, {Native("work/notes.txt"), Native("work/Data")}};
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
    EXPECT_EQ(ItemsFromMimeData(&plain).paths, std::vector<std::string>{"/tmp/x"});
}

TEST_F(ItemActions, PasteCopiesFoldersWithEverythingInThem) {
    const TClipboardItems items{false, {Native("work/Data"), Native("work/notes.txt")}};
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
    const TClipboardItems items{true, {Native("work/notes.txt")}};
    ASSERT_TRUE(PasteItems(items, Native("work/target")).ok);
    EXPECT_FALSE(Exists("work/notes.txt"));
    EXPECT_EQ(Read("work/target/notes.txt"), QByteArray("notes"));
}

TEST_F(ItemActions, PasteRefusesExistingNamesAndChangesNothing) {
    Write("work/target/notes.txt", "older");
    // The first item could go, the second cannot: neither is pasted.
    const TClipboardItems items{false, {Native("work/Data"), Native("work/notes.txt")}};
    const TActionResult result = PasteItems(items, Native("work/target"));
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.contains("already exists"));
    EXPECT_FALSE(Exists("work/target/Data"));
    EXPECT_EQ(Read("work/target/notes.txt"), QByteArray("older"));
}

TEST_F(ItemActions, PasteRefusesAFolderIntoItself) {
    const TClipboardItems items{false, {Native("work")}};
    const TActionResult result = PasteItems(items, Native("work/Data"));
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.contains("into itself"));
    EXPECT_FALSE(Exists("work/Data/work"));
    EXPECT_FALSE(PasteItems(TClipboardItems{}, Native("work/Data")).ok);
}

namespace {

// A name that is not valid UTF-8 (Latin-1 bytes, a lone continuation byte),
// with a blank, a percent sign and a backslash.
const std::string kOddName = std::string("caf\xE9 \x80%5C\\x.txt");

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

}  // namespace

TEST_F(ItemActions, ANameThatIsNotUtf8GoesToTheTrashAndComesBackIntact) {
    const std::string work = Native("work");
    const std::string item = work + "/" + kOddName;
    WriteBytes(item, "odd");
    std::string where;
    const TActionResult result = MoveItemToTrash(item, &where);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    struct stat st;
    EXPECT_NE(lstat(item.c_str(), &st), 0);
    EXPECT_EQ(where, TrashFiles().toStdString() + "/" + kOddName);
    EXPECT_EQ(ReadBytes(where), "odd");
    // Restore as a file manager does: the info file's Path, percent-decoded.
    const std::string info =
        ReadBytes(root.filePath("share/Trash/info/").toStdString() + kOddName + ".trashinfo");
    const size_t at = info.find("\nPath=");
    ASSERT_NE(at, std::string::npos) << info;
    const std::string encoded = info.substr(at + 6, info.find('\n', at + 1) - at - 6);
    EXPECT_EQ(encoded.find_first_of("\x80\xE9 \\"), std::string::npos) << encoded;
    const auto restored = PathOfFileUri(QByteArray::fromStdString("file://" + encoded));
    ASSERT_TRUE(restored.has_value());
    EXPECT_EQ(*restored, item);
    ASSERT_EQ(std::rename(where.c_str(), restored->c_str()), 0);
    EXPECT_EQ(ReadBytes(item), "odd");
    // A second item of the same name gets a name of its own in the trash.
    ASSERT_TRUE(MoveItemToTrash(item, &where).ok);
    WriteBytes(item, "again");
    std::string second;
    ASSERT_TRUE(MoveItemToTrash(item, &second).ok);
    EXPECT_NE(second, where);
    EXPECT_EQ(ReadBytes(second), "again");
}

TEST_F(ItemActions, CopyPathAndCopyCarryTheExactBytes) {
    const std::string item = Native("work") + "/" + kOddName;
    WriteBytes(item, "odd");
    // Copy path: a URI list with every byte, beside the text.
    std::unique_ptr<QMimeData> path(PathMimeData(item));
    const QByteArray uris = path->data("text/uri-list");
    EXPECT_TRUE(uris.endsWith("caf%E9%20%80%255C%5Cx.txt\r\n")) << uris.toStdString();
    EXPECT_FALSE(path->text().isEmpty());
    const TClipboardItems one = ItemsFromMimeData(path.get());
    EXPECT_EQ(one.paths, std::vector<std::string>{item});
    // Every byte value but "/" and NUL survives the round trip.
    std::string all;
    for (int c = 1; c < 256; ++c)
        if (c != '/')
            all += static_cast<char>(c);
    std::unique_ptr<QMimeData> every(ItemsMimeData({false, {"/x/" + all, item}}));
    EXPECT_EQ(ItemsFromMimeData(every.get()).paths, (std::vector<std::string>{"/x/" + all, item}));
    // Copy and paste of the odd name into another folder, by its bytes.
    const TActionResult result = PasteItems(one, Native("work/target"));
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(ReadBytes(Native("work/target") + "/" + kOddName), "odd");
    // Rename of the odd name to a plain one.
    std::string renamed;
    ASSERT_TRUE(RenameItem(item, "plain.txt", &renamed).ok);
    EXPECT_EQ(ReadBytes(renamed), "odd");
    EXPECT_EQ(PathOfFileUri("http://x/y"), std::nullopt);
    EXPECT_EQ(PathOfFileUri("file://localhost/a%20b"), std::string("/a b"));
}

TEST_F(ItemActions, OpenHandsTheDesktopTheExactBytes) {
    const std::string item = Native("work") + "/" + kOddName;
    QUrl opened;
    const ShellOpenHook previous = SetShellOpenHook([&](const QUrl& url) { opened = url; });
    ShellOpenNative(item);
    SetShellOpenHook(previous);
    EXPECT_EQ(opened.toEncoded().toStdString(), "file://" + PercentEncodePath(item));
    EXPECT_EQ(QByteArray::fromPercentEncoding(opened.toEncoded().mid(7)).toStdString(), item);
    // A plain name gives the same address as the desktop's own file URL.
    EXPECT_EQ(NativeFileUrl("/tmp/a b"), QUrl::fromLocalFile("/tmp/a b"));
}

// A named pipe is never opened: a copy of a folder that holds one is refused
// with a message and leaves the target as it was (were the pipe opened for
// reading, the paste would wait for a writer for ever). A cut moves it, which
// only renames it.
TEST_F(ItemActions, PasteRefusesFifosWithoutOpeningThem) {
    ASSERT_EQ(mkfifo(Native("work/Data/pipe").c_str(), 0600), 0);
    const TActionResult folder = PasteItems({false, {Native("work/Data")}}, Native("work/target"));
    EXPECT_FALSE(folder.ok);
    EXPECT_TRUE(folder.error.contains("named pipe")) << folder.error.toStdString();
    EXPECT_TRUE(
        QDir(root.filePath("work/target"))
            .isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot));
    ASSERT_TRUE(PasteItems({true, {Native("work/Data/pipe")}}, Native("work/target")).ok);
    struct stat st;
    ASSERT_EQ(lstat(Native("work/target/pipe").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

// A cancelled copy stops and leaves nothing behind; the bytes copied are
// counted for the progress box.
TEST_F(ItemActions, CancelledCopyLeavesNothingAndProgressCounts) {
    Write("work/Data/more.bin", QByteArray(300000, 'x'));
    TCopyProgress progress;
    ASSERT_TRUE(PasteItems({false, {Native("work/Data")}}, Native("work/target"), &progress).ok);
    EXPECT_EQ(progress.bytes.load(), 300000 + 5);
    TCopyProgress cancelled;
    cancelled.cancel = true;
    const TActionResult result =
        PasteItems({false, {Native("work/data")}}, Native("work/target"), &cancelled);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.contains("cancelled")) << result.error.toStdString();
    EXPECT_FALSE(Exists("work/target/data"));
    EXPECT_EQ(QDir(root.filePath("work/target"))
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"Data"});
}
