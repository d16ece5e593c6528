// Find and many items at once in the real window: Analize > Find through
// its dialog fills the Discover panel's "Found" tab; fifty items chosen
// there go to the Trash with one question naming their count and size, and
// the stored lists are then what a fresh scan of the drive stores. Several
// rows of the bar list get the menu of many items; a plain click still
// chooses one row.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QTabWidget>

#include "app/discover/DiscoverPanel.h"
#include "app/discover/FoundList.h"
#include "app/scan/ScanControl.h"
#include "engine/AnalizeDisk.h"
#include "engine/ResultStore.h"
#include "tests/pieui/UiScript.h"
#include "tests/window/WindowFixture.h"

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

class FindWindow : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        QDir root(drive->path());
        ASSERT_TRUE(root.mkpath("share"));
        // 44 junk files spread over the folders and 6 junk folders whose
        // own files are kept: 50 items named "junk*".
        const QStringList places = {"", "alpha/", "alpha/inner/", "beta/", "gamma/"};
        for (int i = 0; i < 44; ++i) {
            QFile file(root.filePath(places[i % places.size()] + QString("junk %1.tmp").arg(i)));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(1000 * (i + 1), 'j'));
        }
        for (int i = 0; i < 6; ++i) {
            const QString folder = places[i % places.size()] + QString("junk dir %1").arg(i);
            ASSERT_TRUE(root.mkpath(folder));
            QFile file(root.filePath(folder + "/keep.bin"));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(5000, 'k'));
        }
        storeResults = false;
        const TScan scan = ScanDriveC();
        TResultStore store;
        store.SetFiles("C:");
        ASSERT_TRUE(store.SaveAnalizeData({scan.Dirs, scan.Sizes, scan.Percents}));
    }

    // Answers the Find dialog: the pattern, on the whole drive.
    static TUiScript::TStep FillFindDialog(const QString& pattern) {
        return [pattern] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (!dialog || dialog->objectName() != "FindDialog")
                return false;
            dialog->findChild<QLineEdit*>("FindPattern")->setText(pattern);
            dialog->findChild<QRadioButton*>("FindWholeDrive")->setChecked(true);
            if (!qEnvironmentVariableIsEmpty("CQ_FIND_DIALOG_SHOT"))
                dialog->grab().save(qEnvironmentVariable("CQ_FIND_DIALOG_SHOT"));
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
            return true;
        };
    }

    TFoundList* Found() const { return form->Discover().FoundList(); }

    TUiScript script;
};

TEST_F(FindWindow, FiftyItemsFoundGoToTheTrashWithOneQuestionAndTheListsFollow) {
    OpenWindow();
    qputenv("XDG_DATA_HOME", QFile::encodeName(QDir(drive->path()).filePath("share")));
    ASSERT_EQ(form->menuFind->shortcut(), QKeySequence("Ctrl+Shift+F"));
    script.Start({FillFindDialog("junk*")});
    form->menuFind->trigger();
    Settle();
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return script.Finished() && Found()->topLevelItemCount() > 0; }, 10000));
    EXPECT_TRUE(form->Discover().isVisible());
    EXPECT_EQ(form->Discover().Tabs()->currentWidget(), Found());
    ASSERT_EQ(Found()->topLevelItemCount(), 50);
    EXPECT_TRUE(form->Discover().Note()->text().startsWith("44 files and 6 folders found"))
        << form->Discover().Note()->text().toStdString();

    // A plain click chooses one row; Ctrl+A all of them.
    Found()->setFocus();
    QTreeWidgetItem* first = Found()->topLevelItem(0);
    QTest::mouseClick(Found()->viewport(), Qt::LeftButton, {},
                      Found()->visualItemRect(first).center());
    EXPECT_EQ(Found()->selectedItems().size(), 1);
    QTest::keyClick(Found(), Qt::Key_A, Qt::ControlModifier);
    ASSERT_EQ(Found()->selectedItems().size(), 50);

    QString question;
    script.Start({TUiScript::ChooseMenuItem("Move to Trash"),
                  TUiScript::ClickMessageBoxButton(QMessageBox::Yes, &question)});
    const QPoint at = Found()->visualItemRect(Found()->topLevelItem(3)).center();
    QTest::mouseClick(Found()->viewport(), Qt::RightButton, {}, at);
    QMetaObject::invokeMethod(Found(), "customContextMenuRequested", Q_ARG(QPoint, at));
    ASSERT_TRUE(QTest::qWaitFor([this] { return script.Finished(); }, 10000));
    // 44 files of 1000..44000 bytes and 6 folders of 5000 bytes.
    EXPECT_EQ(question, "?|Move these 50 items (1.0 MB) and everything in them to the Trash?");
    ASSERT_TRUE(QTest::qWaitFor([this] { return !form->Scan().Saving(); }, 10000));
    Settle();

    EXPECT_TRUE(QDir(drive->path()).entryList({"junk*"}).isEmpty());
    EXPECT_EQ(Found()->topLevelItemCount(), 0) << "what went to the Trash leaves the list";
    const TScan scan = ScanDriveC();
    EXPECT_EQ(form->Store.GlobalDirs(), scan.Dirs);
    EXPECT_EQ(form->Store.GlobalDirSizes(), scan.Sizes);
    EXPECT_EQ(form->Store.GlobalPercents(), scan.Percents);
    TResultStore stored(form->Store.DataFolder);
    stored.SetFiles("C:");
    ASSERT_TRUE(stored.LoadGlobal());
    EXPECT_EQ(stored.GlobalDirs(), scan.Dirs);
    EXPECT_EQ(stored.GlobalDirSizes(), scan.Sizes);
    if (!qEnvironmentVariableIsEmpty("CQ_FIND_SHOT"))
        form->grab().save(qEnvironmentVariable("CQ_FIND_SHOT"));
}

TEST_F(FindWindow, SeveralBarRowsGetTheMenuOfManyItems) {
    OpenWindow();
    QTreeWidgetItem* alpha = Row("alpha");
    QTreeWidgetItem* file = Row("f.bin");
    ASSERT_TRUE(alpha && file);
    QTest::mouseClick(form->BarLV->viewport(), Qt::LeftButton, {},
                      QPoint(40, form->BarLV->visualItemRect(alpha).center().y()));
    QTest::mouseClick(form->BarLV->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      QPoint(40, form->BarLV->visualItemRect(file).center().y()));
    ASSERT_EQ(form->BarLV->selectedItems().size(), 2);
    QString items, properties;
    RightClickRow("f.bin", script,
                  {TUiScript::ChooseMenuItem("Properties", &items),
                   TUiScript::ClickMessageBoxButton(QMessageBox::Ok, &properties)});
    EXPECT_EQ(items, "Copy paths|Cut|Copy|Move to Trash|Properties|");
    // alpha holds 500 000 bytes and its junk; f.bin 200 000.
    EXPECT_TRUE(properties.startsWith("Properties|2 items: 1 files and 1 folders.\nSize: "))
        << properties.toStdString();
    // One row again: the menu of one item, as always.
    QString single;
    QTest::mouseClick(form->BarLV->viewport(), Qt::LeftButton, {},
                      QPoint(40, form->BarLV->visualItemRect(file).center().y()));
    ASSERT_EQ(form->BarLV->selectedItems().size(), 1);
    RightClickRow("f.bin", script, {TUiScript::PressKeyInMenu(Qt::Key_Escape)});
}

}  // namespace
