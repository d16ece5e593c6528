// What the stored rules left out, marked the same way everywhere in the real
// window: the bar list's row, the folder tree's node (no bar, "excluded"
// spoken, the rule in its tip) and Properties naming the rule; the same
// after the window is closed and opened again. An opened scan file's
// excluded entries show as excluded rows with the reason the file gives.
// Bad patterns typed into Analize > Exclude are refused with the reason,
// and nothing is stored.
#include <gtest/gtest.h>

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <fstream>

#include "app/scan/ExcludeDialog.h"
#include "app/scan/ScanControl.h"
#include "app/shell/ItemPropertiesDialog.h"
#include "engine/ExcludeSettings.h"
#include "tests/window/WindowFixture.h"

namespace {

class ExcludeMarks : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        config_ = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", config_->path().toLocal8Bit());
    }

    // The tree's node of a drive-form folder, its parents opened.
    QTreeWidgetItem* TreeNode(const std::string& path) {
        for (int round = 0; round < 8; ++round)
            for (QTreeWidgetItem* node : form->Tree->Nodes()) {
                const std::string at = TBarShellTreeView::NodePath(node);
                if (at == path)
                    return node;
                if (path.rfind(at + "\\", 0) == 0 || (at.back() == '\\' && path.rfind(at, 0) == 0))
                    form->Tree->ExpandNode(node);
            }
        return nullptr;
    }

    // The "Excluded by" field of the listed item's Properties.
    QString ExcludedBy(const QString& name) {
        for (const TShellFolder& item : form->Bar().Items())
            if (item.DisplayName() == name)
                return TItemPropertiesDialog(item, form.get()).Field("Excluded by");
        ADD_FAILURE() << "no item " << name.toStdString();
        return QString();
    }

    std::unique_ptr<QTemporaryDir> config_;
};

}  // namespace

TEST_F(ExcludeMarks, TreeBarsAndPropertiesNameTheRuleAlsoAfterARestart) {
    std::string problem;
    ASSERT_TRUE(ExcludeSettings::SaveDrive('C', {{"inner", "b.bin"}, false}, problem)) << problem;
    OpenWindow();
    form->Scan().SetAsker([](const QString&) { return true; });
    form->Scan().AnalizeInit("C:\\");
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return !form->Scan().Scanning() && !form->Scan().Saving(); }, 20000));
    Settle();
    form->tbTree->click();
    Settle();
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run == 0 ? "scanned in the window" : "opened again");
        QTreeWidgetItem* inner = TreeNode("C:\\alpha\\inner");
        QTreeWidgetItem* alpha = TreeNode("C:\\alpha");
        ASSERT_NE(inner, nullptr);
        ASSERT_NE(alpha, nullptr);
        EXPECT_EQ(TBarShellTreeView::NodeExclusion(inner), "the pattern inner");
        EXPECT_EQ(inner->toolTip(0), "Excluded by the pattern inner");
        EXPECT_TRUE(form->Tree->SpokenNode(inner).contains("excluded"))
            << form->Tree->SpokenNode(inner).toStdString();
        EXPECT_EQ(TBarShellTreeView::NodeExclusion(alpha), "");
        EXPECT_FALSE(form->Tree->SpokenNode(alpha).contains("excluded"));
        EXPECT_TRUE(inner->font(0).italic());
        EXPECT_FALSE(alpha->font(0).italic());

        DoubleClickRow("beta");
        EXPECT_EQ(RowText("b.bin", 1), "excluded");
        EXPECT_EQ(ExcludedBy("b.bin"), "the pattern b.bin");
        form->acFolderUP->trigger();
        Settle();
        DoubleClickRow("alpha");
        EXPECT_EQ(RowText("inner", 1), "excluded");
        EXPECT_EQ(ExcludedBy("inner"), "the pattern inner");
        EXPECT_EQ(ExcludedBy("a.bin"), "");
        if (!qEnvironmentVariable("CQ_SCREENSHOT_DIR").isEmpty())
            form->grab().save(QDir(qEnvironmentVariable("CQ_SCREENSHOT_DIR"))
                                  .filePath(QString("excluded-tree-%1.png").arg(run)));
        form.reset();
        storeResults = false;  // the set the window stored, with its rules
        OpenWindow();
        form->tbTree->click();
        Settle();
    }
    // A folder rescan keeps the marks; with no rules nothing is marked.
    DoubleClickRow("alpha");
    form->acFolderAnalize->trigger();
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return !form->Scan().Scanning() && !form->Scan().Saving(); }, 20000));
    Settle();
    EXPECT_EQ(RowText("inner", 1), "excluded");
    EXPECT_EQ(TBarShellTreeView::NodeExclusion(TreeNode("C:\\alpha\\inner")), "the pattern inner");
    form.reset();
    storeResults = true;  // results made without rules
    OpenWindow();
    form->tbTree->click();
    Settle();
    EXPECT_EQ(TBarShellTreeView::NodeExclusion(TreeNode("C:\\alpha\\inner")), "");
    DoubleClickRow("alpha");
    EXPECT_NE(RowText("inner", 1), "excluded");
    EXPECT_EQ(ExcludedBy("inner"), "");
}

TEST_F(ExcludeMarks, AnOpenedScansExcludedEntriesShowTheirReason) {
    OpenWindow();
    const QString file = data->filePath("other.json");
    std::ofstream(file.toStdString())
        << R"([1,2,{"progname":"ncdu","progver":"1.18"},[{"name":"/srv"},)"
        << R"({"name":"data","asize":1000},{"name":"proc","excluded":"kernfs"},)"
        << R"({"name":"mnt","excluded":"othfs"},{"name":"skip","excluded":"pattern"},)"
        << R"({"name":"link","excluded":"frmlnk"},{"name":"odd","excluded":"newer"},)"
        << R"([{"name":"cache","excluded":"pattern"},{"name":"x","asize":5}]]])";
    form->OpenScanFile(file);
    Settle();
    ASSERT_TRUE(form->ShowsOpenedScan());
    const std::map<QString, QString> reasons = {
        {"proc", "the scan, as a kernel file system"}, {"mnt", "the scan, as another file system"},
        {"skip", "an exclude rule of the scan"},       {"cache", "an exclude rule of the scan"},
        {"link", "the scan, as a firm link"},          {"odd", "the program that made the scan"}};
    for (const auto& r : reasons) {
        EXPECT_EQ(RowText(r.first, 1), "excluded") << r.first.toStdString();
        EXPECT_EQ(Row(r.first)->toolTip(0), "Excluded by " + r.second) << r.first.toStdString();
        EXPECT_EQ(ExcludedBy(r.first), r.second) << r.first.toStdString();
    }
    EXPECT_EQ(ExcludedBy("data"), "");
    if (!qEnvironmentVariable("CQ_SCREENSHOT_DIR").isEmpty())
        form->grab().save(
            QDir(qEnvironmentVariable("CQ_SCREENSHOT_DIR")).filePath("excluded-opened-scan.png"));
    EXPECT_EQ(form->Store.GlobalDirSizes(), (TStringList{"1000"}));
}

namespace {

// Puts the text into the pattern's input box (a paste, not 10 000 key
// presses) and accepts it.
TUiScript::TStep EnterPattern(const QString& text) {
    return [text] {
        auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        auto* edit = dialog ? dialog->findChild<QLineEdit*>() : nullptr;
        if (!edit || !dialog->isVisible())
            return false;
        edit->setText(text);
        QTest::keyClick(edit, Qt::Key_Return);
        return true;
    };
}

}  // namespace

TEST_F(ExcludeMarks, BadPatternsAreRefusedInTheDialogAndNothingIsStored) {
    QString seen[3];
    QStringList listed;
    TUiScript script;
    TFormMainHooks hooks;
    hooks.ExcludeDialogShown = [&](TExcludeDialog& dialog) {
        auto* add = dialog.findChild<QPushButton*>("excludeAdd");
        QTimer::singleShot(0, add, &QPushButton::click);
        script.Start({EnterPattern(""), TUiScript::ClickMessageBoxButton(QMessageBox::Ok, &seen[0]),
                      EnterPattern(QString(10000, 'y')),
                      TUiScript::ClickMessageBoxButton(QMessageBox::Ok, &seen[1]),
                      EnterPattern("[a-"),
                      TUiScript::ClickMessageBoxButton(QMessageBox::Ok, &seen[2]),
                      EnterPattern("a[b"), [&dialog, &listed] {
                          auto* list = dialog.findChild<QListWidget*>("excludePatterns");
                          for (int i = 0; i < list->count(); ++i)
                              listed << list->item(i)->text();
                          dialog.reject();  // Cancel: the drive's rules stay as they were
                          return true;
                      }});
    };
    OpenWindow(hooks);
    const TStringList sizes = form->Store.GlobalDirSizes();
    form->menuExclude->trigger();
    Settle();
    EXPECT_TRUE(script.Finished()) << script.StepsDone();
    EXPECT_TRUE(seen[0].contains("empty")) << seen[0].toStdString();
    EXPECT_TRUE(seen[1].contains("too long")) << seen[1].toStdString();
    EXPECT_TRUE(seen[2].contains("never closed")) << seen[2].toStdString();
    // An unmatched "[" alone is a plain byte, as fnmatch reads it: taken.
    EXPECT_EQ(listed, QStringList{"a[b"});
    EXPECT_FALSE(QFile::exists(config_->filePath("cobaltquarry/exclude-rules")));
    EXPECT_FALSE(QFile::exists(data->filePath("cobaltquarry/CExclude")));
    EXPECT_EQ(form->Store.GlobalDirSizes(), sizes);
}
