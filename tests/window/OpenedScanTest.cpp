// A scan file opened in the real window: our export of the test drive shows
// the drive's own rows and numbers under a letter of its own, read-only,
// until a drive is chosen again.
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>

#include "app/drives/DriveSelector.h"
#include "app/main/FolderPathLabel.h"
#include "app/main/MenuRow.h"
#include "app/shell/ItemContextMenu.h"
#include "engine/NcduExport.h"
#include "tests/window/WindowFixture.h"

namespace {

QString ExportDrive(const QString& folder, const QString& file) {
    TExportOutput out;
    TExportSettings settings;
    settings.NativeRoot = folder.toStdString();
    settings.Timestamp = 1700000000;
    std::string error;
    const std::string path = file.toStdString();
    EXPECT_TRUE(out.Open(path, error) && ExportNcdu(settings, out, error) && out.Commit(error))
        << error;
    return file;
}

// The enabled state of each command of an item's context menu.
std::map<QString, bool> MenuState(const TShellFolder& item) {
    std::map<QString, bool> state;
    const auto menu = BuildItemMenu(item, nullptr);
    for (QAction* action : menu->actions())
        if (!action->isSeparator())
            state[action->data().toString()] = action->isEnabled();
    return state;
}

// Whether the rows "Disk", "Folder" and "Open scan file..." of the Analize
// menu look enabled, as drawn: a disabled row's darkest pixel is far lighter
// than the text of an enabled one.
class OpenedScanTest : public WindowFixture {
  protected:
    std::vector<bool> AnalizeRowsLook() {
        QMenu* menu = form->menuAnalize;
        menu->popup(form->mapToGlobal(QPoint(10, 20)));
        EXPECT_TRUE(QTest::qWaitForWindowExposed(menu));
        std::vector<bool> look;
        for (const char* name : {"menuDiskCell", "menuFolderCell", "menuOpenScanCell"}) {
            auto* cell = menu->findChild<TMenuCell*>(name);
            EXPECT_NE(cell, nullptr) << name;
            if (!cell)
                return look;
            const QImage shot = cell->grab().toImage();
            int darkest = 255;
            for (int y = 0; y < shot.height(); ++y)
                for (int x = 0; x < shot.width(); ++x)
                    darkest = std::min(darkest, shot.pixelColor(x, y).lightness());
            look.push_back(darkest < 100);
        }
        Keep(menu->grab().toImage(), QString("analize-menu-%1.png").arg(++shots_));
        menu->close();
        return look;
    }
    int shots_ = 0;
    static void Keep(const QImage& image, const QString& name) {
        if (qEnvironmentVariableIsSet("CQ_SCREENSHOT_DIR"))
            image.save(qEnvironmentVariable("CQ_SCREENSHOT_DIR") + "/" + name);
    }
};

}  // namespace

TEST_F(OpenedScanTest, AnOpenedScanFileIsBrowsedLikeTheDriveButReadOnly) {
    OpenWindow();
    const QStringList driveRows = RowNames();
    const QString alphaShare = RowText("alpha", 2);
    const QString file = ExportDrive(drive->path(), data->filePath("drive.json.zst"));

    form->OpenScanFile(file);
    Settle();
    EXPECT_EQ(form->Bar().Root(), "Z:\\");
    EXPECT_EQ(RowNames(), driveRows);
    EXPECT_EQ(RowText("alpha", 1), "0.5");
    EXPECT_EQ(RowText("alpha", 2), alphaShare);
    EXPECT_EQ(RowText("f.bin", 2), "20.0");
    const QString where = form->FolderPath->Text();
    EXPECT_TRUE(where.startsWith("drive.json.zst (read-only): " + drive->path()))
        << where.toStdString();
    EXPECT_EQ(form->Tree->Root(), "Z:\\");
    if (qEnvironmentVariableIsSet("CQ_SCREENSHOT_DIR")) {
        form->tbTree->click();
        Settle();
        form->grab().save(qEnvironmentVariable("CQ_SCREENSHOT_DIR") + "/opened-scan.png");
    }

    // The menu's scan rows look as disabled as the tool bar's buttons, and
    // choosing one does nothing.
    EXPECT_EQ(AnalizeRowsLook(), (std::vector<bool>{false, false, true}));
    EXPECT_FALSE(form->tbDiskAn->isEnabled());
    form->menuAnalize->popup(form->mapToGlobal(QPoint(10, 20)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form->menuAnalize));
    QTest::mouseClick(form->menuAnalize->findChild<TMenuCell*>("menuDiskCell"), Qt::LeftButton);
    Settle();
    EXPECT_TRUE(questions.empty());
    form->menuAnalize->close();
    // Nothing of it can be scanned, opened or changed; its properties show.
    EXPECT_FALSE(form->acDiskAnalize->isEnabled());
    EXPECT_FALSE(form->menuFolder->isEnabled());
    EXPECT_FALSE(form->Analize(true));
    EXPECT_TRUE(questions.empty());
    const int file_ = form->Bar().IndexOfPath("Z:\\f.bin");
    ASSERT_GE(file_, 0);
    const auto state = MenuState(form->Bar().Item(file_));
    for (const auto& [verb, enabled] : state)
        EXPECT_EQ(enabled, verb == ItemVerb::kProperties) << verb.toStdString();

    // Folders are entered and left as on a drive.
    DoubleClickRow("alpha");
    EXPECT_EQ(form->Bar().Root(), "Z:\\alpha");
    EXPECT_EQ(RowNames(), (QStringList{"inner", "a.bin"}));
    EXPECT_TRUE(form->FolderPath->Text().contains(drive->path() + "/alpha"));
    DoubleClickRow("a.bin");  // a file of the scan opens nothing
    EXPECT_EQ(form->Bar().Root(), "Z:\\alpha");
    form->acFolderUP->trigger();
    Settle();
    EXPECT_EQ(form->Bar().Root(), "Z:\\");

    // Choosing the drive returns to it, with its commands.
    form->Drives().SetDrivesList();
    QAction* driveItem = form->Drives().pmDrives()->actions().value(0);
    ASSERT_NE(driveItem, nullptr);
    form->Drives().menuDriveClick(driveItem);
    Settle();
    EXPECT_EQ(form->Bar().Root(), "C:\\");
    EXPECT_EQ(RowNames(), driveRows);
    EXPECT_TRUE(form->acDiskAnalize->isEnabled());
    EXPECT_EQ(AnalizeRowsLook(), (std::vector<bool>{true, true, true}));
    EXPECT_FALSE(form->ShowsOpenedScan());
    EXPECT_EQ(form->FolderPath->Text(), drive->path());
}

TEST_F(WindowFixture, AFileThatIsNoScanIsToldAndChangesNothing) {
    OpenWindow();
    QFile broken(data->filePath("broken.json"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("[1,2,{},[{\"name\":\"/x\"},{\"name\":\"f\",\"asize\":-5}]]");
    broken.close();
    // The box comes after the read, which runs behind its own event loop.
    QString told;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&told] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            told = box->text();
            EXPECT_EQ(box->textFormat(), Qt::PlainText);
            box->accept();
        }
    });
    answer.start(10);
    form->OpenScanFile(broken.fileName());
    answer.stop();
    EXPECT_TRUE(told.contains("negative size")) << told.toStdString();
    EXPECT_FALSE(form->ShowsOpenedScan());
    EXPECT_EQ(form->Bar().Root(), "C:\\");
    EXPECT_TRUE(form->acDiskAnalize->isEnabled());
}
