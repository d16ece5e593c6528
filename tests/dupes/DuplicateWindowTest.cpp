// The Duplicates tab in the real window: Analize > "Find duplicates..."
// searches below the current folder, a double click goes to a copy, and
// reclaiming a copy moves the drive's numbers as the item command does.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>

#include "app/discover/DuplicateReclaimDialog.h"
#include "app/discover/DuplicateTab.h"
#include "app/scan/ScanControl.h"
#include "app/shell/ItemPropertiesDialog.h"
#include "tests/pieui/UiScript.h"
#include "tests/window/WindowFixture.h"

namespace {

// Answers the next modal windows in turn, each with its step.
void AnswerModals(std::vector<std::function<void(QWidget*)>> steps) {
    auto left = std::make_shared<std::vector<std::function<void(QWidget*)>>>(std::move(steps));
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [timer, left] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || left->empty())
            return;
        auto step = left->front();
        left->erase(left->begin());
        step(modal);
        if (left->empty())
            timer->deleteLater();
    });
    timer->start(20);
}

}  // namespace

class DuplicateWindow : public WindowFixture {
  protected:
    TDuplicateTab* Search() {
        form->findChild<QAction*>("menuFindDuplicates")->trigger();
        auto* tab = form->findChild<TDuplicateTab*>();
        EXPECT_TRUE(tab->isVisible());
        EXPECT_TRUE(QTest::qWaitFor([tab] { return !tab->Running(); }, 20000));
        return tab;
    }
};

TEST_F(DuplicateWindow, FoundCopiesAreListedAGoToReachesOneAndTrashingItMovesTheNumbers) {
    // The trash goes into the drive's data home.
    ASSERT_TRUE(QDir(drive->path()).mkpath("share"));
    OpenWindow();
    qputenv("XDG_DATA_HOME", QFile::encodeName(QDir(drive->path()).filePath("share")));
    ASSERT_EQ(RowText("alpha", 2), "50.0");
    TDuplicateTab* tab = Search();
    // a.bin and inner/i.bin hold the same 250 000 bytes; the other sizes differ.
    ASSERT_TRUE(tab->Result());
    ASSERT_EQ(tab->Result()->Groups.size(), 1u);
    EXPECT_EQ(tab->Result()->TotalWaste(), 250000);
    QTreeWidget* list = tab->List();
    ASSERT_EQ(list->topLevelItemCount(), 1);
    QTreeWidgetItem* group = list->topLevelItem(0);
    ASSERT_EQ(group->childCount(), 2);
    EXPECT_EQ(group->child(0)->text(0), "a.bin");
    EXPECT_EQ(group->child(1)->text(0), "i.bin");
    EXPECT_TRUE(tab->Status()->text().contains("waste 0.2 MB"))
        << tab->Status()->text().toStdString();
    tab->grab().save(QDir::temp().filePath("cq-duplicates-tab.png"));
    // Properties of alpha tell the bytes its copies waste.
    TUiScript script;
    RightClickRow("alpha", script, {TUiScript::ChooseMenuItem("Properties")});
    auto* properties = form->findChild<TItemPropertiesDialog*>();
    ASSERT_NE(properties, nullptr);
    EXPECT_TRUE(properties->Field("Duplicated").startsWith("250,000 bytes"))
        << properties->Field("Duplicated").toStdString();
    properties->close();
    Settle();

    Q_EMIT list->itemActivated(group->child(1), 0);
    Settle();
    EXPECT_EQ(form->Bar().Root(), "C:\\alpha\\inner");

    group = list->topLevelItem(0);  // the rows may have been made again
    list->clearSelection();
    group->child(1)->setSelected(true);
    AnswerModals({[](QWidget* w) {
                      auto* dialog = qobject_cast<TDuplicateReclaimDialog*>(w);
                      ASSERT_NE(dialog, nullptr);
                      EXPECT_TRUE(dialog->ChosenChoice()->isChecked());
                      dialog->LinkChoice()->setChecked(true);
                      EXPECT_TRUE(dialog->Explanation()->text().contains(
                          "change made through one name shows in all"));
                      dialog->grab().save(QDir::temp().filePath("cq-duplicates-reclaim.png"));
                      dialog->TrashChoice()->setChecked(true);
                      dialog->accept();
                  },
                  [](QWidget* w) {
                      auto* box = qobject_cast<QMessageBox*>(w);
                      ASSERT_NE(box, nullptr);
                      box->button(QMessageBox::Yes)->click();
                  }});
    tab->ReclaimButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !form->Scan().Saving(); }, 10000));
    Settle();
    EXPECT_FALSE(QFile::exists(drive->path() + "/alpha/inner/i.bin"));
    EXPECT_TRUE(QFile::exists(drive->path() + "/alpha/a.bin"));
    EXPECT_TRUE(tab->Result()->Groups.empty());
    form->acFolderUP->trigger();
    form->acFolderUP->trigger();
    Settle();
    ASSERT_EQ(form->Bar().Root(), "C:\\");
    EXPECT_EQ(RowText("alpha", 1), "0.2");  // 500 000 less the 250 000 trashed
    EXPECT_EQ(RowText("share", 1), "0.2");
    EXPECT_TRUE(QFile::exists(drive->path() + "/share/Trash/files/i.bin"));
}

TEST_F(DuplicateWindow,
       TheLastResultIsKeptWithTheDriveMarkedAsOfAfterAChangeInsideUntilTheNextScan) {
    OpenWindow();
    Search();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !form->Scan().Saving(); }, 10000));
    // The program started again over what it stored.
    form.reset();
    storeResults = false;
    OpenWindow();
    auto* tab = form->findChild<TDuplicateTab*>();
    ASSERT_TRUE(tab->Result());
    ASSERT_EQ(tab->Result()->Groups.size(), 1u);
    EXPECT_EQ(tab->List()->topLevelItem(0)->childCount(), 2);
    EXPECT_FALSE(tab->Status()->text().contains("As of"));

    // An item command inside the searched folder (the whole drive).
    ASSERT_TRUE(QDir(drive->path()).mkpath("share"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(QDir(drive->path()).filePath("share")));
    TUiScript script;
    QString question;
    RightClickRow("f.bin", script,
                  {TUiScript::ChooseMenuItem("Move to Trash"),
                   TUiScript::ClickMessageBoxButton(QMessageBox::Yes, &question)});
    ASSERT_TRUE(QTest::qWaitFor([this] { return !form->Scan().Saving(); }, 10000));
    Settle();
    ASSERT_TRUE(tab->Result());
    EXPECT_TRUE(tab->Status()->text().contains("As of")) << tab->Status()->text().toStdString();

    // The next drive scan replaces the set, and the result with it.
    form->Scan().SetAsker([](const QString&) { return true; });
    form->acDiskAnalize->trigger();
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return !form->Scan().Scanning() && !form->Scan().Saving(); }, 20000));
    Settle();
    EXPECT_FALSE(tab->Result());
}
