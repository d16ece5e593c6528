// The real main window after Move to Trash of a folder through the bar
// list's own menu: the parent's row and pie and the trash folder's row show
// the new numbers at once, the folder tree follows, and the stored set is
// what a fresh scan of the drive stores.
#include <gtest/gtest.h>

#include <QLabel>
#include <QMessageBox>

#include "app/scan/ScanControl.h"
#include "engine/AnalizeDisk.h"
#include "engine/ResultStore.h"
#include "tests/pieui/UiScript.h"
#include "tests/window/WindowFixture.h"
#include "views/pie/PieData.h"

namespace {

struct TScan {
    TStringList Dirs, Sizes, Percents;
};

TScan ScanDriveC() {
    TAnalizeDisk analyzer;
    analyzer.Directory = "C:\\";
    analyzer.Recurse = true;
    analyzer.Execute();
    return {analyzer.Dirs(), analyzer.DirSizes(), analyzer.Percents()};
}

class ItemFollow : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        // The drive's data home, where the trash goes; scanned with the rest.
        ASSERT_TRUE(QDir(drive->path()).mkpath("share"));
        storeResults = false;
        const TScan scan = ScanDriveC();
        TResultStore store;
        store.SetFiles("C:");
        ASSERT_TRUE(store.SaveAnalizeData({scan.Dirs, scan.Sizes, scan.Percents}));
    }

    void RightClickRow(const QString& name, QList<TUiScript::TStep> steps) {
        WindowFixture::RightClickRow(name, script, std::move(steps));
    }

    // The pie's share of an entry, and the degrees of all its slices.
    double PieShare(const std::string& path) const {
        const TPieData& pie = form->PieData();
        for (std::size_t i = 0; i < pie.PiePaths.size(); ++i)
            if (pie.PiePaths[i] == path)
                return std::stod(std::string(pie.PiePercents[i]));
        return -1;
    }
    double PieDegrees() const {
        const TPieData& pie = form->PieData();
        double degrees = 0;
        for (std::size_t i = 1; i < pie.PiePercents.size(); ++i)
            degrees += std::stod(std::string(pie.PiePercents[i])) * 3.6;
        return degrees;
    }

    TUiScript script;
    QString question;
};

TEST_F(ItemFollow, MoveToTrashOfAFolderMovesItsNumbersToTheTrashAtOnce) {
    OpenWindow();
    // The result files stay in the data folder the window took at its start,
    // outside the drive; the trash goes into the drive's data home.
    qputenv("XDG_DATA_HOME", QFile::encodeName(QDir(drive->path()).filePath("share")));
    ASSERT_EQ(RowText("alpha", 2), "50.0");
    ASSERT_EQ(RowText("share", 2), "0.0");
    DoubleClickRow("alpha");
    ASSERT_EQ(RowNames(), (QStringList{"inner", "a.bin"}));

    RightClickRow("inner", {TUiScript::ChooseMenuItem("Move to Trash"),
                            TUiScript::ClickMessageBoxButton(QMessageBox::Yes, &question)});
    EXPECT_EQ(question, "?|Move the folder \"inner\" and everything in it to the Trash?");
    EXPECT_EQ(RowNames(), (QStringList{"a.bin"}));
    // The numbers follow once the change is stored behind the views.
    ASSERT_TRUE(QTest::qWaitFor([this] { return !form->Scan().Saving(); }, 10000));
    // alpha holds a.bin alone now.
    EXPECT_DOUBLE_EQ(PieShare("C:\\alpha\\a.bin"), 100.0);
    ASSERT_NE(form->ActionNote, nullptr);
    EXPECT_EQ(form->ActionNote->text().toStdString(),
              "0.2 MB moved to the Trash; the space is freed when the Trash is emptied");

    form->acFolderUP->trigger();
    Settle();
    ASSERT_EQ(form->Bar().Root(), "C:\\");
    EXPECT_TRUE(form->ActionNote->text().isEmpty()) << "the note belongs to its folder";
    // alpha lost 250 000 bytes, the trash gained them and its info file.
    EXPECT_EQ(RowText("alpha", 1), "0.2");
    EXPECT_EQ(RowText("alpha", 2), "25.0");
    EXPECT_EQ(RowText("share", 1), "0.2");
    EXPECT_EQ(RowText("share", 2), "25.0");
    EXPECT_EQ(RowText("beta", 2), "30.0");
    EXPECT_NEAR(PieShare("C:\\alpha"), 25.0, 0.01);
    EXPECT_NEAR(PieShare("C:\\share"), 25.0, 0.01);
    EXPECT_LE(PieDegrees(), 360.0 + 1e-6);
    EXPECT_GE(PieDegrees(), 359.0);

    const TScan scan = ScanDriveC();
    EXPECT_EQ(form->Store.GlobalDirs(), scan.Dirs);
    EXPECT_EQ(form->Store.GlobalDirSizes(), scan.Sizes);
    EXPECT_EQ(form->Store.GlobalPercents(), scan.Percents);
    // As stored in the files, and as the folder tree shows it.
    TResultStore stored(form->Store.DataFolder);
    stored.SetFiles("C:");
    ASSERT_TRUE(stored.LoadGlobal());
    EXPECT_EQ(stored.GlobalDirSizes(), scan.Sizes);
    EXPECT_EQ(form->TreeLists.Dirs, scan.Dirs);
    EXPECT_EQ(form->TreeLists.Percents, scan.Percents);
}

// A save that fails is told, the stored set stays as it was, and the
// lists shown (the newest the user has) stay shown, not stored; the next
// command's change is made to them and stores them, never to the older set
// on disk.
TEST_F(ItemFollow, AFailedSaveIsToldAndTheNextCommandStoresTheListsShown) {
    OpenWindow();
    qputenv("XDG_DATA_HOME", QFile::encodeName(QDir(drive->path()).filePath("share")));
    const TStringList before = form->Store.GlobalDirSizes();
    // A folder where the save keeps the earlier files: the save cannot go on.
    const QString blocker = QString::fromStdString(form->Store.DataFolder + ".CDirs.previous");
    ASSERT_TRUE(QDir().mkpath(blocker));
    DoubleClickRow("alpha");
    RightClickRow("inner", {TUiScript::ChooseMenuItem("Move to Trash"),
                            TUiScript::ClickMessageBoxButton(QMessageBox::Yes, &question)});
    ASSERT_TRUE(QTest::qWaitFor([this] { return !form->Scan().Saving(); }, 10000));
    ASSERT_NE(form->ActionNote, nullptr);
    const QString note = form->ActionNote->text();
    EXPECT_TRUE(note.startsWith("0.2 MB moved to the Trash; the space is freed"))
        << note.toStdString();
    EXPECT_TRUE(note.contains("The stored results were not updated: ")) << note.toStdString();
    EXPECT_NE(form->Store.GlobalDirSizes(), before);
    EXPECT_TRUE(form->Store.ListsUnsaved());
    TResultStore stored(form->Store.DataFolder);
    stored.SetFiles("C:");
    ASSERT_TRUE(stored.LoadGlobal());
    EXPECT_EQ(stored.GlobalDirSizes(), before);

    ASSERT_TRUE(QDir(blocker).removeRecursively());
    RightClickRow("a.bin", {TUiScript::ChooseMenuItem("Move to Trash"),
                            TUiScript::ClickMessageBoxButton(QMessageBox::Yes, &question)});
    ASSERT_TRUE(QTest::qWaitFor([this] { return !form->Scan().Saving(); }, 10000));
    EXPECT_FALSE(form->Store.ListsUnsaved());
    const TScan scan = ScanDriveC();
    ASSERT_TRUE(stored.LoadGlobal());
    EXPECT_EQ(stored.GlobalDirs(), scan.Dirs);
    EXPECT_EQ(stored.GlobalDirSizes(), scan.Sizes);
    EXPECT_EQ(form->Store.GlobalDirSizes(), scan.Sizes);
}

}  // namespace
