// The Discover panel in the real window: hidden at start, filled from an
// opened scan's export, its rows leading to their folder with the file's
// row selected, sorting, a type's own largest files, the old files and the
// item context menu.
#include <sys/time.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>

#include "app/discover/DiscoverPanel.h"
#include "app/scan/ScanControl.h"
#include "engine/DiscoverSink.h"
#include "engine/NcduExport.h"
#include "tests/window/WindowFixture.h"

namespace {

constexpr qint64 kNow = 1800000000;

class DiscoverPanelTest : public WindowFixture {
  protected:
    void MakeDeepFile() {
        QDir root(drive->path());
        ASSERT_TRUE(root.mkpath("alpha/inner/deep"));
        QFile big(root.filePath("alpha/inner/deep/big.ISO"));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(900000));
        big.close();
        // a.bin was last changed two years before the test's now.
        const timeval times[2] = {{kNow - 2 * 366 * 86400, 0}, {kNow - 2 * 366 * 86400, 0}};
        ASSERT_EQ(utimes(root.filePath("alpha/a.bin").toLocal8Bit().constData(), times), 0);
    }

    void OpenExport() {
        TExportOutput out;
        TExportSettings settings;
        settings.NativeRoot = drive->path().toStdString();
        std::string error;
        const std::string file = data->filePath("drive.json").toStdString();
        ASSERT_TRUE(out.Open(file, error) && ExportNcdu(settings, out, error) && out.Commit(error))
            << error;
        form->OpenScanFile(QString::fromStdString(file));
        Settle();
    }

    TDiscoverPanel& Panel() { return form->Discover(); }

    static QStringList Column(QTreeWidget* list, int column) {
        QStringList texts;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            texts << list->topLevelItem(i)->text(column);
        return texts;
    }

    static QTreeWidgetItem* Find(QTreeWidget* list, const QString& name) {
        const auto found = list->findItems(name, Qt::MatchExactly, 0);
        return found.isEmpty() ? nullptr : found.first();
    }

    void DoubleClick(QTreeWidget* list, const QString& name) {
        QTreeWidgetItem* row = Find(list, name);
        ASSERT_NE(row, nullptr) << name.toStdString();
        const QPoint at = list->visualItemRect(row).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        Settle();
    }

    // The bar list's selected row, by its path.
    std::string SelectedPath() const {
        QTreeWidgetItem* row = form->BarLV->currentItem();
        return row && row->isSelected() ? TFormMain::RowPath(row) : std::string();
    }

    static void Keep(QWidget* widget, const QString& name) {
        if (qEnvironmentVariableIsSet("CQ_SCREENSHOT_DIR"))
            widget->grab().save(qEnvironmentVariable("CQ_SCREENSHOT_DIR") + "/" + name);
    }
};

}  // namespace

TEST_F(DiscoverPanelTest, ItsRowsLeadToTheFileInTheWindowAndItsTabsSortAndFilter) {
    MakeDeepFile();
    int menuIndex = -1;
    QWidget* menuControl = nullptr;
    TFormMainHooks hooks;
    hooks.InvokeContextMenu = [&](int index, QWidget* control, QPoint) {
        menuIndex = index;
        menuControl = control;
    };
    OpenWindow(hooks);
    EXPECT_FALSE(Panel().isVisible());
    EXPECT_FALSE(form->miDiscover->isChecked());
    EXPECT_NE(form->menuView->findChild<QWidget*>("miDiscoverCell"), nullptr);
    EXPECT_FALSE(Panel().Note()->text().isEmpty());  // nothing stored: says so
    OpenExport();
    form->miDiscover->trigger();
    Settle();
    ASSERT_TRUE(Panel().isVisible());

    QTreeWidget* largest = Panel().LargestList();
    EXPECT_EQ(Column(largest, 0), (QStringList{"big.ISO", "b.bin", "a.bin", "i.bin", "f.bin"}));
    EXPECT_EQ(Column(largest, 1).first(), "Z:\\alpha\\inner\\deep");
    EXPECT_EQ(Column(largest, 2).first(), "0.9");
    Keep(form.get(), "discover-largest.png");

    // A double click three folders deep: that folder, the file's row selected.
    DoubleClick(largest, "big.ISO");
    EXPECT_EQ(form->Bar().Root(), "Z:\\alpha\\inner\\deep");
    EXPECT_EQ(SelectedPath(), "Z:\\alpha\\inner\\deep\\big.ISO");
    // Enter on another row.
    largest->setFocus();
    largest->setCurrentItem(Find(largest, "a.bin"));
    QTest::keyClick(largest, Qt::Key_Return);
    Settle();
    EXPECT_EQ(form->Bar().Root(), "Z:\\alpha");
    EXPECT_EQ(SelectedPath(), "Z:\\alpha\\a.bin");

    // The item context menu of a row is the window's, for that file.
    QTreeWidgetItem* bRow = Find(largest, "b.bin");
    Q_EMIT largest->customContextMenuRequested(largest->visualItemRect(bRow).center());
    Settle();
    EXPECT_EQ(form->Bar().Root(), "Z:\\beta");
    EXPECT_EQ(menuIndex, form->Bar().IndexOfPath("Z:\\beta\\b.bin"));
    EXPECT_EQ(menuControl, largest->viewport());

    // Sorting by name, then by size the other way round.
    QHeaderView* header = largest->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(header->sectionViewportPosition(0) + 5, header->height() / 2));
    EXPECT_EQ(Column(largest, 0), (QStringList{"a.bin", "b.bin", "big.ISO", "f.bin", "i.bin"}));
    largest->sortByColumn(2, Qt::AscendingOrder);
    EXPECT_EQ(Column(largest, 0), (QStringList{"f.bin", "a.bin", "i.bin", "b.bin", "big.ISO"}));

    // The types: shares of the drive; a type chosen lists its own files.
    QTreeWidget* types = Panel().TypeList();
    Panel().Tabs()->setCurrentWidget(types);
    EXPECT_EQ(Column(types, 0), (QStringList{".bin", ".iso"}));
    EXPECT_EQ(Column(types, 1), (QStringList{"4", "1"}));
    EXPECT_EQ(Column(types, 3), (QStringList{"52.6 %", "47.4 %"}));
    Keep(form.get(), "discover-types.png");
    DoubleClick(types, ".iso");
    EXPECT_EQ(Panel().Tabs()->currentWidget(), largest);
    EXPECT_EQ(Column(largest, 0), QStringList{"big.ISO"});
    EXPECT_TRUE(Panel().Note()->text().contains(".iso"));
    Panel().findChild<QToolButton*>("DiscoverAllTypes")->click();
    EXPECT_EQ(largest->topLevelItemCount(), 5);

    // Under Disk usage the files keep their order by size and show their
    // allocated bytes beside (these files are sparse: none), and the types
    // count those bytes.
    EXPECT_TRUE(largest->isColumnHidden(4));
    form->miDiskUsage->trigger();
    Settle();
    EXPECT_FALSE(largest->isColumnHidden(4));
    EXPECT_EQ(Column(largest, 0).first(), "big.ISO");
    EXPECT_EQ(Column(largest, 4).first(), "0.0");
    EXPECT_EQ(Column(types, 2), (QStringList{"0.0", "0.0"}));
    form->miDiskUsage->trigger();
    Settle();
    EXPECT_TRUE(largest->isColumnHidden(4));

    // Old files: only a.bin was not changed for over a year.
    EXPECT_EQ(Column(Panel().OldList(), 0), QStringList{"a.bin"});

    // Back on the drive: nothing is known of its files yet.
    form->LeaveOpenedScan();
    EXPECT_EQ(largest->topLevelItemCount(), 0);
}

// A type's files and the old files are the drive's, not those among its
// largest files: 1 100 larger .bin files fill the largest files, and the
// three .txt files and two old .log files still show, from a scan made in
// the window and after a restart. The old files count from the scan's time.
TEST_F(DiscoverPanelTest, ATypesFilesAndTheOldFilesAreTheDrivesFromAWindowScanAndAfterARestart) {
    QDir root(drive->path());
    ASSERT_TRUE(root.mkpath("many"));
    auto make = [&](const QString& name, qint64 size, qint64 mtime) {
        QFile file(root.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(size));
        file.close();
        const timeval times[2] = {{mtime, 0}, {mtime, 0}};
        ASSERT_EQ(utimes(root.filePath(name).toLocal8Bit().constData(), times), 0);
    };
    for (int i = 0; i < 1100; ++i)
        make("many/m" + QString::number(i) + ".bin", 10000 + i, kNow - 86400);
    make("gamma/one.txt", 300, kNow - 86400);
    make("gamma/two.TXT", 200, kNow - 86400);
    make("three.txt", 100, kNow - 86400);
    make("gamma/old.log", 60, kNow - 2 * 366 * 86400);
    make("older.log", 50, kNow - 3 * 366 * 86400);
    if (HasFatalFailure())
        return;
    const auto clock = TDiscoverSink::Clock;
    TDiscoverSink::Clock = [] { return std::int64_t{kNow}; };
    OpenWindow();
    form->Scan().SetAsker([](const QString&) { return true; });
    form->acDiskAnalize->trigger();
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return !form->Scan().Scanning() && !form->Scan().Saving(); }, 20000));
    Settle();
    TDiscoverSink::Clock = clock;

    for (int run = 0; run < 2; ++run) {
        if (run == 1) {  // the program started again over what it stored
            form.reset();
            storeResults = false;
            OpenWindow();
        }
        form->miDiscover->trigger();
        Settle();
        QTreeWidget* largest = Panel().LargestList();
        EXPECT_EQ(largest->topLevelItemCount(), int(kLargestFiles)) << run;
        EXPECT_FALSE(Column(largest, 0).contains("one.txt")) << run;
        Panel().Tabs()->setCurrentWidget(Panel().TypeList());
        DoubleClick(Panel().TypeList(), ".txt");
        EXPECT_EQ(Panel().Tabs()->currentWidget(), largest);
        EXPECT_EQ(Column(largest, 0), (QStringList{"one.txt", "two.TXT", "three.txt"})) << run;
        EXPECT_EQ(Panel().Note()->text(), "The largest files of type .txt.") << run;
        Panel().Tabs()->setCurrentWidget(Panel().OldList());
        EXPECT_EQ(Column(Panel().OldList(), 0), (QStringList{"old.log", "older.log"})) << run;
        EXPECT_EQ(Panel().Note()->text(),
                  "The largest files not changed for over a year before the scan.")
            << run;
    }
}

// Data stored before the types' and old files' lists were collected shows
// neither and says plainly when they will be known.
TEST_F(DiscoverPanelTest, DataStoredWithoutTheNewListsSaysTheyAreNotKnownYet) {
    TDiscoverData data;
    data.Largest = {{"C:\\f.bin", 200000, 200704, kNow}};
    data.Types.Kept = {{"bin", 1, 200000, 200704}};
    std::string error;
    TDiscoverData stored;
    // The text as an earlier version wrote it: it ends after the types.
    ASSERT_TRUE(TDiscoverData::Parse(data.Text(), stored, error)) << error;
    ASSERT_FALSE(stored.TypeFilesKnown || stored.OldKnown());
    OpenWindow();
    Panel().SetData(std::make_shared<const TDiscoverData>(stored));
    Panel().ShowType("bin");
    EXPECT_EQ(Panel().LargestList()->topLevelItemCount(), 0);
    EXPECT_EQ(Panel().Note()->text(),
              "The largest files of type .bin are not known until the next drive scan.");
    Panel().Tabs()->setCurrentWidget(Panel().OldList());
    EXPECT_EQ(Panel().OldList()->topLevelItemCount(), 0);
    EXPECT_EQ(Panel().Note()->text(), "The old files are not known until the next drive scan.");
}
