// The Discover panel over a drive scanned in the real window: filled from
// the stored set at the scan's end, a double click on a large file three
// folders deep makes that folder current with the file's row selected, and
// with the change view on the type table shows each type's change since the
// kept results.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>

#include "app/changes/ChangeView.h"
#include "app/discover/DiscoverPanel.h"
#include "app/scan/ScanControl.h"
#include "tests/window/WindowFixture.h"

namespace {

class DiscoverStoredTest : public WindowFixture {
  protected:
    void ScanDrive() {
        form->Scan().SetAsker([](const QString&) { return true; });
        QTest::mouseClick(form->tbDiskAn, Qt::LeftButton);
        // The results are shown at the walk's end; the set they replace is
        // kept once their save behind the views has ended.
        ASSERT_TRUE(QTest::qWaitFor(
            [this] { return !form->Scan().Scanning() && !form->Scan().Saving(); }, 20000));
        Settle();
    }
    void WriteFile(const QString& rel, qint64 size) {
        QFile file(QDir(drive->path()).filePath(rel));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(size));
    }
    static QStringList Column(QTreeWidget* list, int column) {
        QStringList texts;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            texts << list->topLevelItem(i)->text(column);
        return texts;
    }
};

}  // namespace

TEST_F(DiscoverStoredTest, AScannedDriveFillsThePanelAndItsRowsLeadToTheirFiles) {
    storeResults = false;
    ASSERT_TRUE(QDir(drive->path()).mkpath("alpha/inner/deep"));
    WriteFile("alpha/inner/deep/big.iso", 900000);
    OpenWindow();
    ScanDrive();
    TDiscoverPanel& panel = form->Discover();
    form->miDiscover->trigger();
    Settle();
    QTreeWidget* largest = panel.LargestList();
    ASSERT_EQ(Column(largest, 0), (QStringList{"big.iso", "b.bin", "a.bin", "i.bin", "f.bin"}));
    EXPECT_EQ(Column(largest, 1).first(), "C:\\alpha\\inner\\deep");

    QTreeWidgetItem* big = largest->topLevelItem(0);
    const QPoint at = largest->visualItemRect(big).center();
    QTest::mouseClick(largest->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(largest->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    Settle();
    EXPECT_EQ(form->Bar().Root(), "C:\\alpha\\inner\\deep");
    QTreeWidgetItem* row = form->BarLV->currentItem();
    ASSERT_NE(row, nullptr);
    EXPECT_TRUE(row->isSelected());
    EXPECT_EQ(TFormMain::RowPath(row), "C:\\alpha\\inner\\deep\\big.iso");
    if (qEnvironmentVariableIsSet("CQ_SCREENSHOT_DIR"))
        form->grab().save(qEnvironmentVariable("CQ_SCREENSHOT_DIR") + "/discover-drive.png");

    // A second scan keeps the first; the types then show their change.
    WriteFile("gamma/g.iso", 150000);
    WriteFile("gamma/n.txt", 50000);
    ScanDrive();
    form->miChanges->trigger();
    Settle();
    ASSERT_TRUE(form->Changes().On());
    QTreeWidget* types = panel.TypeList();
    panel.Tabs()->setCurrentWidget(types);
    EXPECT_FALSE(types->isColumnHidden(5));
    EXPECT_EQ(Column(types, 0), (QStringList{".iso", ".bin", ".txt"}));
    EXPECT_EQ(Column(types, 5), (QStringList{"+0.1", "0.0", "+0.0"}));
    EXPECT_TRUE(panel.Note()->text().startsWith("Change since 20"))
        << panel.Note()->text().toStdString();
    if (qEnvironmentVariableIsSet("CQ_SCREENSHOT_DIR"))
        form->grab().save(qEnvironmentVariable("CQ_SCREENSHOT_DIR") + "/discover-changes.png");
    form->miChanges->trigger();
    Settle();
    EXPECT_TRUE(types->isColumnHidden(5));
}

// What a scan in the window found is there again after the window is closed
// and started anew, with the panel opened before and after a drive is chosen.
TEST_F(DiscoverStoredTest, AfterARestartThePanelShowsWhatTheLastScanFound) {
    storeResults = false;
    WriteFile("alpha/big.iso", 900000);
    {
        // Written, not sparse: it takes blocks on the disk.
        QFile real(QDir(drive->path()).filePath("alpha/real.dat"));
        ASSERT_TRUE(real.open(QIODevice::WriteOnly));
        real.write(QByteArray(300000, 'r'));
    }
    OpenWindow();
    ScanDrive();
    form.reset();

    OpenWindow();
    form->miDiscover->trigger();
    Settle();
    EXPECT_EQ(Column(form->Discover().LargestList(), 0),
              (QStringList{"big.iso", "real.dat", "b.bin", "a.bin", "i.bin", "f.bin"}));
    form.reset();

    OpenWindow();
    Settle();
    form->miDiscover->trigger();
    Settle();
    EXPECT_EQ(Column(form->Discover().LargestList(), 0),
              (QStringList{"big.iso", "real.dat", "b.bin", "a.bin", "i.bin", "f.bin"}));
    // The allocated bytes of that scan, too: alpha holds the one written file.
    form->miDiskUsage->trigger();
    Settle();
    EXPECT_EQ(RowText("alpha", 1), "0.3");
}
