// The Trash and the cleanup actions in the real window, on a temporary
// folder as drive C: with the data home (and so the trash) inside it: Move
// to Trash shows the Trash's size on the tool bar, "Empty Trash" restores
// and deletes for good, a cleanup from the item menu runs and measures its
// folder again; after each, the stored lists are a fresh scan's.
#include <gtest/gtest.h>

#include <QMenu>
#include <QMessageBox>
#include <QToolButton>
#include <QTreeWidget>

#include "app/scan/ScanControl.h"
#include "app/shell/CleanupOutputWindow.h"
#include "app/trash/EmptyTrashDialog.h"
#include "app/trash/TrashGauge.h"
#include "engine/AnalizeDisk.h"
#include "engine/CleanupAction.h"
#include "engine/ResultStore.h"
#include "tests/pieui/UiScript.h"
#include "tests/window/WindowFixture.h"

namespace {

TStoredSet ScanOfC() {
    TAnalizeDisk analyzer;
    analyzer.Directory = "C:\\";
    analyzer.Recurse = true;
    analyzer.Execute();
    TStoredSet set;
    set.Dirs = analyzer.Dirs();
    set.Sizes = analyzer.DirSizes();
    set.Percents = analyzer.Percents();
    return set;
}

// A folder's action that removes the .bin files right in it, without asking,
// and measures the folder again.
TCleanupAction RemoveBinFiles() {
    TCleanupAction remove;
    remove.Title = "Remove the .bin files";
    remove.Shell = true;
    remove.Program = "rm -- \"$1\"/*.bin";
    remove.Arguments = {"%p"};
    remove.Applies = TCleanupAction::TApplies::Folders;
    remove.Confirm = false;
    remove.Rescan = TCleanupAction::TRescan::ItsFolder;
    return remove;
}

class TrashWindow : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        ASSERT_TRUE(QDir(drive->path()).mkpath("share"));
        storeResults = false;
        TResultStore store;
        store.SetFiles("C:");
        ASSERT_TRUE(store.SaveAnalizeData(ScanOfC()));
    }

    // The window, its results in the data folder it took at its start; the
    // trash goes into the drive's data home.
    void Open() {
        OpenWindow();
        qputenv("XDG_DATA_HOME", QFile::encodeName(QDir(drive->path()).filePath("share")));
    }

    void ExpectFreshScan(const char* step) {
        ASSERT_TRUE(QTest::qWaitFor([this] { return !form->Scan().Saving(); }, 10000)) << step;
        Settle();
        const TStoredSet scan = ScanOfC();
        EXPECT_EQ(form->Store.GlobalDirs(), scan.Dirs) << step;
        EXPECT_EQ(form->Store.GlobalDirSizes(), scan.Sizes) << step;
        EXPECT_EQ(form->Store.GlobalPercents(), scan.Percents) << step;
        EXPECT_EQ(form->TreeLists.Dirs, scan.Dirs) << step;
    }

    // The gauge measures on a thread of its own: its text once it is done
    // and the tool bar has laid the button out (shown or hidden), which it
    // does on a later turn of the event loop.
    QString GaugeText() {
        EXPECT_TRUE(QTest::qWaitFor([this] { return !form->TrashGauge()->Measuring(); }, 10000));
        Settle();
        return form->TrashGauge()->Button()->text();
    }

    TUiScript script;
};

TEST_F(TrashWindow, TrashRestoreAndDeleteForGoodFollowTheNumbers) {
    Open();
    EXPECT_FALSE(form->TrashGauge()->Button()->isVisible()) << "no trash folder yet";
    QString question;
    RightClickRow("alpha", script,
                  {TUiScript::ChooseMenuItem("Move to Trash"),
                   TUiScript::ClickMessageBoxButton(QMessageBox::Yes, &question)});
    ExpectFreshScan("trashed");
    EXPECT_EQ(GaugeText().toStdString(), "Trash: 0.5 MB");
    EXPECT_TRUE(form->TrashGauge()->Button()->isVisible());

    TEmptyTrashDialog* dialog = form->EmptyTrashDialog();
    dialog->show();
    ASSERT_EQ(dialog->List()->topLevelItemCount(), 1);
    QTreeWidgetItem* row = dialog->List()->topLevelItem(0);
    EXPECT_EQ(row->text(0), "alpha");
    EXPECT_EQ(row->text(1), drive->path());
    EXPECT_EQ(row->text(2), "0.5 MB");
    dialog->grab().save(QDir::temp().filePath("cq-empty-trash.png"));
    row->setSelected(true);
    dialog->RestoreChosen();
    ExpectFreshScan("restored");
    EXPECT_EQ(RowText("alpha", 2), "50.0");
    EXPECT_EQ(dialog->List()->topLevelItemCount(), 0);
    EXPECT_EQ(GaugeText().toStdString(), "Trash: 0.0 MB");

    // Restoring onto a name that is taken again is refused and told.
    RightClickRow("f.bin", script,
                  {TUiScript::ChooseMenuItem("Move to Trash"),
                   TUiScript::ClickMessageBoxButton(QMessageBox::Yes)});
    ExpectFreshScan("trashed again");
    QFile taken(QDir(drive->path()).filePath("f.bin"));
    ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
    taken.close();
    dialog->Reload();
    ASSERT_EQ(dialog->List()->topLevelItemCount(), 1);
    QString told;
    dialog->Tell = [&told](const QString& text) { told = text; };
    dialog->List()->topLevelItem(0)->setSelected(true);
    dialog->RestoreChosen();
    EXPECT_TRUE(told.contains("already exists")) << told.toStdString();
    EXPECT_EQ(dialog->List()->topLevelItemCount(), 1);

    // Delete all: one question naming the total; the trash is empty after.
    QString asked;
    dialog->Ask = [&asked](const QString& text) {
        asked = text;
        return true;
    };
    ASSERT_TRUE(taken.remove());
    dialog->DeleteAll();
    EXPECT_EQ(asked.toStdString(),
              "Delete \"f.bin\" (0.2 MB) for good? It cannot be restored afterwards.");
    ExpectFreshScan("deleted");
    EXPECT_EQ(dialog->List()->topLevelItemCount(), 0);
    EXPECT_EQ(GaugeText().toStdString(), "Trash: 0.0 MB");
    EXPECT_FALSE(QFile::exists(QDir(drive->path()).filePath("f.bin")));
    dialog->close();
}

TEST_F(TrashWindow, ACleanupFromTheItemMenuRunsAndMeasuresItsFolderAgain) {
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    std::vector<TCleanupAction> actions = PredefinedCleanups();
    const TCleanupAction remove = RemoveBinFiles();
    actions.push_back(remove);
    std::string problem;
    ASSERT_TRUE(SaveCleanups(actions, problem)) << problem;
    Open();

    // Offered for a folder only; the predefined ones stay off.
    QString seen;
    auto readAndClose = [&seen] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu || !menu->isVisible())
            return false;
        for (QAction* action : menu->actions())
            seen += action->text() + "|";
        menu->close();
        return true;
    };
    RightClickRow("f.bin", script, {readAndClose});
    EXPECT_TRUE(seen.contains("Move to Trash")) << seen.toStdString();
    EXPECT_FALSE(seen.contains("Remove the .bin files")) << seen.toStdString();
    EXPECT_FALSE(seen.contains("git gc")) << seen.toStdString();
    RightClickRow("beta", script, {TUiScript::ChooseMenuItem("Remove the .bin files", &seen)});
    auto* output = form->findChild<TCleanupOutputWindow*>();
    ASSERT_NE(output, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([output] { return !output->Running(); }, 10000));
    EXPECT_TRUE(output->Output().contains("Exit status 0.")) << output->Output().toStdString();
    ExpectFreshScan("cleaned");
    EXPECT_EQ(RowText("beta", 1), "0.0");
    output->close();
}

// Chosen together, two folders get the action once each, from the menu of
// many items, and the stored numbers follow both.
TEST_F(TrashWindow, ACleanupOnSeveralChosenFoldersRunsOnEachAndTheNumbersFollow) {
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    const TCleanupAction remove = RemoveBinFiles();
    std::string problem;
    ASSERT_TRUE(SaveCleanups({remove}, problem)) << problem;
    Open();
    QTreeWidgetItem* alpha = Row("alpha");
    QTreeWidgetItem* beta = Row("beta");
    ASSERT_TRUE(alpha && beta);
    QTest::mouseClick(form->BarLV->viewport(), Qt::LeftButton, {},
                      QPoint(40, form->BarLV->visualItemRect(alpha).center().y()));
    QTest::mouseClick(form->BarLV->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      QPoint(40, form->BarLV->visualItemRect(beta).center().y()));
    ASSERT_EQ(form->BarLV->selectedItems().size(), 2);
    QString seen;
    RightClickRow("beta", script, {TUiScript::ChooseMenuItem("Remove the .bin files", &seen)});
    EXPECT_TRUE(seen.contains("Copy paths")) << seen.toStdString();  // the menu of many items
    auto* output = form->findChild<TCleanupOutputWindow*>();
    ASSERT_NE(output, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([output] { return !output->Running(); }, 10000));
    EXPECT_EQ(output->Output().count("Exit status 0."), 2) << output->Output().toStdString();
    const QDir root(drive->path());
    EXPECT_FALSE(QFile::exists(root.filePath("alpha/a.bin")));
    EXPECT_FALSE(QFile::exists(root.filePath("beta/b.bin")));
    EXPECT_TRUE(QFile::exists(root.filePath("alpha/inner/i.bin")));
    ExpectFreshScan("cleaned both");
    EXPECT_EQ(RowText("beta", 1), "0.0");
    output->close();
}

}  // namespace
