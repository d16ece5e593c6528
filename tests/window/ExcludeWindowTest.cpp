// Analize > Exclude in the real window on drive C:: the rules set in the
// dialog, the drive analized again from it, the numbers those of the
// scanner with the same rules, the rules stored with the set; a folder
// rescan walks with the set's rules even when the drive's have changed.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <sstream>

#include "app/changes/ChangeView.h"
#include "app/scan/ExcludeDialog.h"
#include "app/scan/ScanControl.h"
#include "engine/ExcludeSettings.h"
#include "engine/ResultFileText.h"
#include "tests/window/WindowFixture.h"
#include "tools/scan/ScanCommand.h"

namespace {

class ExcludeWindow : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        config_ = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", config_->path().toLocal8Bit());
    }

    // Opens the window; the dialog, when shown, gets the patterns and is
    // closed with "Analize drive again now" or OK.
    void Open() {
        TFormMainHooks hooks;
        hooks.ExcludeDialogShown = [this](TExcludeDialog& dialog) {
            auto* list = dialog.findChild<QListWidget*>("excludePatterns");
            list->clear();
            for (const QString& p : patterns_)
                list->addItem(p);
            dialog.findChild<QCheckBox*>("excludeCaches")->toggle();
            dialog.findChild<QCheckBox*>("excludeCaches")->toggle();
            auto* again = dialog.findChild<QPushButton*>("excludeAnalizeNow");
            againEnabled_ = again->isEnabled();
            if (analizeNow_)
                QTimer::singleShot(0, again, &QPushButton::click);
            else
                QTimer::singleShot(0, &dialog, &QDialog::accept);
        };
        OpenWindow(hooks);
        form->Scan().SetAsker([](const QString&) { return true; });
    }

    bool WaitForAll() {
        return QTest::qWaitFor(
            [this] { return !form->Scan().Scanning() && !form->Scan().Saving(); }, 20000);
    }

    // The scanner's lists of drive C: with these arguments.
    TStringList ScannerSizes(std::vector<std::string> args) {
        const std::string out = (data->path() + "/lists").toStdString();
        args.insert(args.end(), {"--out", out, drive->path().toStdString()});
        std::ostringstream o, e;
        TScanCommand command;
        EXPECT_EQ(command.Run(args, o, e), 0) << e.str();
        QFile f(QString::fromStdString(out + "/CDirSizes"));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        TStringList lines;
        SplitResultLines(f.readAll().toStdString(), lines);
        return lines;
    }

    std::unique_ptr<QTemporaryDir> config_;
    QStringList patterns_;
    bool analizeNow_ = true;
    bool againEnabled_ = false;
};

}  // namespace

TEST_F(ExcludeWindow, DialogRulesScanTheDriveAndRescansKeepTheSetsRules) {
    Open();
    const TStringList before = form->Store.GlobalDirSizes();
    patterns_ = {"b.bin", "inner"};
    form->menuExclude->trigger();
    EXPECT_TRUE(againEnabled_);  // the stored results were made without rules
    ASSERT_TRUE(WaitForAll());
    Settle();
    EXPECT_EQ(ExcludeSettings::ForDrive('C').Patterns,
              (std::vector<std::string>{"b.bin", "inner"}));
    const TStringList sizes = ScannerSizes({"--exclude", "b.bin", "--exclude", "inner"});
    EXPECT_EQ(form->Store.GlobalDirSizes(), sizes);
    EXPECT_NE(sizes, before);
    EXPECT_EQ(sizes[0], "450000");  // alpha/a.bin and f.bin
    QFile stored(data->path() + "/cobaltquarry/CExclude");
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    EXPECT_EQ(stored.readAll(), "no caches\r\nb.bin\r\ninner\r\n");
    stored.close();

    // The results kept from before were made without rules: the change
    // view says so.
    form->miChanges->trigger();
    Settle();
    ASSERT_TRUE(form->miChanges->isChecked());
    EXPECT_TRUE(form->Changes().KeptWithOtherRules());
    EXPECT_EQ(form->BarLV->headerItem()->toolTip(2), TChangeView::kOtherRulesTip);
    form->miChanges->trigger();
    Settle();

    // The same rules again: nothing to analize anew; the dialog closes
    // with OK.
    analizeNow_ = false;
    form->menuExclude->trigger();
    Settle();
    EXPECT_FALSE(againEnabled_);

    // The drive's rules change, the stored set's stay: a rescan of alpha
    // still leaves inner out, and finds the new file.
    std::string problem;
    ASSERT_TRUE(ExcludeSettings::SaveDrive('C', {}, problem)) << problem;
    QFile more(QDir(drive->path()).filePath("alpha/more.bin"));
    ASSERT_TRUE(more.open(QIODevice::WriteOnly) && more.resize(100000));
    more.close();
    DoubleClickRow("alpha");
    EXPECT_EQ(RowText("inner", 1), "excluded");
    EXPECT_EQ(RowText("more.bin", 1), "0.1");
    const QImage shot = ListShot();
    form->acFolderAnalize->trigger();
    ASSERT_TRUE(WaitForAll());
    Settle();
    EXPECT_EQ(RowText("inner", 1), "excluded");
    // Setting CQ_SCREENSHOT_DIR keeps the picture for a look.
    if (!qEnvironmentVariable("CQ_SCREENSHOT_DIR").isEmpty())
        shot.save(QDir(qEnvironmentVariable("CQ_SCREENSHOT_DIR")).filePath("excluded-rows.png"));
    EXPECT_EQ(form->Store.GlobalDirSizes(),
              ScannerSizes({"--exclude", "b.bin", "--exclude", "inner"}));
    EXPECT_EQ(form->Store.GlobalDirSizes()[0], "550000");
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    EXPECT_EQ(stored.readAll(), "no caches\r\nb.bin\r\ninner\r\n");
}
