// "Open remote scan..." in the real window, with a stand-in for ssh that
// runs the line it is given here (the real sshd is tested with the
// engine): the dialog's request reaches the scanner, the scan shows like an
// opened file naming the host, "Save scan as..." keeps it for a later "Open
// scan file...", and a failure is told in one box.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QSpinBox>
#include <QTimer>

#include "app/main/FolderPathLabel.h"
#include "app/main/RemoteScanDialog.h"
#include "tests/window/WindowFixture.h"

namespace {

class RemoteScanWindowTest : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        const QString bin = data->filePath("bin");
        QDir().mkpath(bin);
        QFile::link(CQ_SCAN_BINARY, bin + "/cobaltquarry-scan");
        const QString ssh = data->filePath("fake ssh");
        QFile script(ssh);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        // Every word but the last is ssh's; the last is the remote line.
        script.write(("#!/bin/sh\nfor line; do :; done\nPATH='" + bin.toUtf8() +
                      "':/usr/bin:/bin exec sh -c \"$line\"\n"));
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("COBALTQUARRY_SSH", ("'" + ssh + "' -o Extra=1").toUtf8());
    }
    void TearDown() override {
        qunsetenv("COBALTQUARRY_SSH");
        WindowFixture::TearDown();
    }
    // Answers the next modal box or dialog with Answer, keeping its text.
    QString WithModal(const std::function<void()>& act,
                      const std::function<void(QWidget*)>& answer) {
        QString told;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                told = box->text();
                toldTitle = box->windowTitle();
                box->accept();
            } else if (modal != nullptr && modal->objectName() == "RemoteScanDialog") {
                answer(modal);
            }
        });
        poll.start(10);
        act();
        poll.stop();
        return told;
    }
    QString toldTitle;
};

}  // namespace

TEST_F(RemoteScanWindowTest, ARemoteScanShowsLikeTheDriveAndCanBeSaved) {
    OpenWindow();
    const QStringList driveRows = RowNames();
    const QString alphaShare = RowText("alpha", 2);
    EXPECT_FALSE(form->menuSaveScan->isEnabled());
    QStringList names;
    const QString told =
        WithModal([&] { form->menuOpenRemote->trigger(); },
                  [&](QWidget* modal) {
                      auto* dialog = static_cast<TRemoteScanDialog*>(modal);
                      for (QWidget* w : std::initializer_list<QWidget*>{
                               dialog->Host, dialog->Port, dialog->Folder, dialog->Tool})
                          names << w->accessibleName();
                      dialog->Host->setText("me@server");
                      dialog->Folder->setText(drive->path());
                      dialog->Tool->setCurrentIndex(dialog->Tool->findText("cobaltquarry-scan"));
                      dialog->accept();
                  });
    Settle();
    EXPECT_EQ(told, "");
    EXPECT_EQ(names, (QStringList{"Host", "Port", "Folder", "Scanner on the server"}));
    ASSERT_TRUE(form->ShowsOpenedScan());
    EXPECT_EQ(RowNames(), driveRows);
    EXPECT_EQ(RowText("alpha", 2), alphaShare);
    const QString where = form->FolderPath->Text();
    EXPECT_TRUE(where.startsWith("me@server (read-only): " + drive->path() + ", scanned "))
        << where.toStdString();
    EXPECT_FALSE(form->acDiskAnalize->isEnabled());

    // Saved, it opens again with no server: the same rows.
    ASSERT_TRUE(form->menuSaveScan->isEnabled());
    const QString saved = data->filePath("saved.json.zst");
    form->SaveScanAs(saved);
    QFile file(saved);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(4), QByteArray("\x28\xB5\x2F\xFD"));
    form->OpenScanFile(saved);
    Settle();
    EXPECT_EQ(RowNames(), driveRows);
    EXPECT_TRUE(form->FolderPath->Text().startsWith("saved.json.zst (read-only): "));
    EXPECT_FALSE(form->menuSaveScan->isEnabled());  // a file is kept already
}

TEST_F(RemoteScanWindowTest, AFailureIsToldAndChangesNothing) {
    OpenWindow();
    const TRemoteRequest missing{"srv", 0, (drive->path() + "/missing").toStdString(),
                                 TRemoteTool::FirstFound};
    const QString told = WithModal([&] { form->OpenRemoteScan(&missing); }, [](QWidget*) {});
    EXPECT_TRUE(told.contains("does not exist on srv")) << told.toStdString();
    EXPECT_TRUE(told.contains("\n\nssh: cobaltquarry-remote:")) << told.toStdString();
    EXPECT_EQ(toldTitle, "Open remote scan");
    EXPECT_FALSE(form->ShowsOpenedScan());
    EXPECT_EQ(form->Bar().Root(), "C:\\");
    EXPECT_TRUE(form->acDiskAnalize->isEnabled());
}

// The export as it arrived is kept in the user's cache folder while the scan
// is open, byte for byte what "Save scan as..." writes, and removed with the
// scan. A save that fails leaves the file it was to replace.
TEST_F(RemoteScanWindowTest, TheCopyLivesInTheCacheFolderAndAFailedSaveKeepsTheOldFile) {
    const QString cache = data->filePath("cache");
    qputenv("XDG_CACHE_HOME", cache.toUtf8());
    OpenWindow();
    const TRemoteRequest request{"srv", 0, drive->path().toStdString(), TRemoteTool::Ours};
    EXPECT_EQ(WithModal([&] { form->OpenRemoteScan(&request); }, [](QWidget*) {}), "");
    ASSERT_TRUE(form->ShowsOpenedScan());
    const QDir kept(cache + "/cobaltquarry");
    const QStringList copies = kept.entryList(QDir::Files);
    ASSERT_EQ(copies.size(), 1);

    const QString saved = data->filePath("saved.json");
    form->SaveScanAs(saved);
    QFile copy(kept.filePath(copies[0])), file(saved);
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly) && file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), copy.readAll());
    EXPECT_GT(file.size(), 0);

    // The copy gone behind the program's back: the save fails, plainly, and
    // the file chosen keeps what it held.
    ASSERT_TRUE(QFile::remove(kept.filePath(copies[0])));
    const QString told = WithModal([&] { form->SaveScanAs(saved); }, [](QWidget*) {});
    EXPECT_EQ(toldTitle, "Save scan as");
    EXPECT_TRUE(told.startsWith(saved + ": cannot write the file")) << told.toStdString();
    EXPECT_EQ(QFileInfo(saved).size(), file.size());

    EXPECT_EQ(WithModal([&] { form->OpenRemoteScan(&request); }, [](QWidget*) {}), "");
    EXPECT_EQ(kept.entryList(QDir::Files).size(), 1);
    form->LeaveOpenedScan();
    EXPECT_TRUE(kept.entryList(QDir::Files).isEmpty());
    qunsetenv("XDG_CACHE_HOME");
}
