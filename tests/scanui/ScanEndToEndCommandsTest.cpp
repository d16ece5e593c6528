// The scan window's menus and keys, one scan at a time, closing during a
// scan, the scan questions' texts and drives that went away.
#include "tests/scanui/ScanEndToEndFixture.h"

TEST_F(ScanEndToEnd, MenuItemsRunTheCommandsAndShowTheirKeys) {
    AnalyseFirstTime();
    TScanHost& host = *host_;
    QAction* disk = host.scan->menuDisk();
    QAction* folder = host.scan->menuFolder();
    EXPECT_EQ(disk->text(), "Disk");
    EXPECT_EQ(disk->statusTip(), "Click to start analizing disk drive.");
    EXPECT_EQ(disk->shortcut(), QKeySequence("Ctrl+D"));
    EXPECT_EQ(folder->text(), "Folder");
    EXPECT_EQ(folder->statusTip(), "Click to rescan folder.");
    EXPECT_EQ(folder->shortcut(), QKeySequence("Ctrl+F"));
    EXPECT_EQ(host.scan->acDiskAnalize()->text(), "Disk analize");
    EXPECT_EQ(host.scan->acDiskAnalize()->toolTip(), "Click to analize only current drive");
    EXPECT_EQ(host.scan->acFolderAnalize()->text(), "Folder Analize");
    EXPECT_EQ(host.scan->acFolderAnalize()->toolTip(), "Click to analize only current folder");

    // One key press runs the command once, although menu item and command
    // both carry the key.
    Answer(false);
    QTest::keyClick(&host, Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(asked_.size(), 1);

    // Chosen from the open menu.
    asked_.clear();
    host.analizeMenu->popup(host.mapToGlobal(QPoint(0, 0)));
    ASSERT_TRUE(host.analizeMenu->isVisible());
    QTest::mouseClick(host.analizeMenu, Qt::LeftButton, {},
                      host.analizeMenu->actionGeometry(disk).center());
    EXPECT_EQ(asked_, QStringList{"Analize drive \"C:\\\" ?       "});

    gate_.released = false;
    gate_.entered = false;
    Answer(true);
    disk->trigger();
    ASSERT_TRUE(WaitForScanEntered());
    EXPECT_FALSE(disk->isEnabled());
    EXPECT_FALSE(folder->isEnabled());
    gate_.released = true;
    ASSERT_TRUE(WaitForScanEnd());
    EXPECT_TRUE(disk->isEnabled());
    EXPECT_TRUE(folder->isEnabled());
}

TEST_F(ScanEndToEnd, OneScanAtATime) {
    AnalyseFirstTime();
    TScanHost& host = *host_;
    gate_.released = false;
    gate_.entered = false;
    host.scan->acDiskAnalize()->trigger();
    ASSERT_TRUE(WaitForScanEntered());
    TThreadDiskAnalize* running = host.scan->ScanThread();
    asked_.clear();

    EXPECT_FALSE(host.scan->acDiskAnalize()->isEnabled());
    EXPECT_FALSE(host.scan->acFolderAnalize()->isEnabled());
    EXPECT_FALSE(host.drives->btnDrives()->isEnabled());
    QTest::keyClick(&host, Qt::Key_D, Qt::ControlModifier);
    EXPECT_FALSE(host.scan->Analize(true));
    host.scan->AnalizeFolder();
    EXPECT_TRUE(asked_.isEmpty()) << "a second start is refused without a question";
    EXPECT_EQ(host.scan->ScanThread(), running);

    gate_.released = true;
    ASSERT_TRUE(WaitForScanEnd());
    EXPECT_TRUE(host.scan->acDiskAnalize()->isEnabled());
    EXPECT_TRUE(host.drives->btnDrives()->isEnabled());
}

TEST_F(ScanEndToEnd, ClosingDuringAScanCancelsAndWaitsBeforeTheListsGo) {
    TScanHost& host = Start();
    host.show();
    ASSERT_TRUE(WaitForScanEntered());
    QPointer<TThreadDiskAnalize> thread = host.scan->ScanThread();
    ASSERT_FALSE(thread.isNull());

    EXPECT_TRUE(host.close());
    EXPECT_TRUE(host.closed);
    EXPECT_FALSE(host.scan->Scanning());
    ASSERT_TRUE(thread.isNull() || thread->isFinished()) << "the close waited for the thread";
    EXPECT_FALSE(host.scan->FormWait().isVisible());
    EXPECT_EQ(host.cursor().shape(), Qt::ArrowCursor);
    const int updates = host.scanEnds;
    // The scan's late hand-off must not reach the freed lists.
    QTest::qWait(100);
    EXPECT_EQ(host.scanEnds, updates);
    EXPECT_TRUE(host.store.GlobalSLSEmpty());
    EXPECT_TRUE(thread.isNull()) << "the thread freed itself";
    EXPECT_FALSE(QFile::exists(Result("CDirs")));
}

TEST_F(ScanEndToEnd, DestroyingTheWindowDuringAScanWaitsForTheThread) {
    TScanHost& host = Start();
    host.show();
    ASSERT_TRUE(WaitForScanEntered());
    QPointer<TThreadDiskAnalize> thread = host.scan->ScanThread();
    host_.reset();
    EXPECT_TRUE(thread.isNull());
    QTest::qWait(50);
    EXPECT_FALSE(QFile::exists(Result("CDirs")));
}

TEST_F(ScanEndToEnd, FolderOutsideAnyDriveAsksNothing) {
    AnalyseFirstTime();
    TScanHost& host = *host_;
    host.root = "Trash";
    EXPECT_FALSE(host.scan->Analize(true));
    host.scan->AnalizeFolder();
    host.root = "   ";
    EXPECT_FALSE(host.scan->Analize(true));
    EXPECT_TRUE(asked_.isEmpty());
    EXPECT_FALSE(host.scan->Scanning());
}

TEST(ScanQuestions, TextsToTheCharacter) {
    EXPECT_EQ(TScanControl::DriveQuestion('C').toStdString(), "Analize drive \"C:\\\" ?       ");
    EXPECT_EQ(TScanControl::DriveQuestion('C').size(), 28);
    EXPECT_EQ(TScanControl::FolderQuestion("C:\\PROGRAM FILES").toStdString(),
              "Analize folder \"C:\\PROGRAM FILES \" ?");
}

TEST(ScanQuestions, MessageBoxHasCaptionYesNoAndTheWarningIcon) {
    TestApp();
    QWidget parent;
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    auto inspectAndPress = [&](QMessageBox::StandardButton press) {
        QTimer::singleShot(0, [&, press] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = box->standardButtons();
            box->button(press)->click();
        });
    };
    inspectAndPress(QMessageBox::No);
    EXPECT_FALSE(TScanControl::AskWithMessageBox(&parent, TScanControl::DriveQuestion('D')));
    EXPECT_EQ(title, "?");
    EXPECT_EQ(text, "Analize drive \"D:\\\" ?       ");
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_EQ(buttons, QMessageBox::Yes | QMessageBox::No);
    inspectAndPress(QMessageBox::Yes);
    EXPECT_TRUE(TScanControl::AskWithMessageBox(&parent, "x"));
}

TEST_F(ScanEndToEnd, ScanningADriveThatIsNoLongerMountedSaysSoOnceAndKeepsItsResults) {
    AnalyseFirstTime();
    TScanHost& host = *host_;
    QStringList told;
    host.scan->SetTeller([&](const QString& text) { told << text; });
    // C: is unmounted while the program runs.
    TScopedDriveTable onlyD(TDriveTable({{'D', d_.path().toStdString()}}));
    QTest::keyClick(&host, Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(told, QStringList{"Drive \"C:\\\" is not mounted. Its stored results are kept."});
    QTest::keyClick(&host, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(told.size(), 2);
    EXPECT_TRUE(asked_.isEmpty());
    EXPECT_FALSE(host.scan->Scanning());
    ExpectStoredAsFirstScanned();
}

// The set a drive scan replaces is kept in the drive's history by a thread of
// its own after the views show the new results: the next scan's save and the
// window's close wait for it, so each replaced set is kept whole, once, and
// the end of the copy is told.
TEST_F(ScanEndToEnd, ReplacedSetsAreKeptAfterTheViewsShowTheNewResults) {
    AnalyseFirstTime();
    TScanHost& host = *host_;
    int kept = 0;
    QObject::connect(host.scan.get(), &TScanControl::HistoryKept, &host, [&kept] { ++kept; });
    const std::string data = data_.path().toStdString() + "/cobaltquarry/";
    for (int scan = 1; scan <= 3; ++scan) {
        WriteFile(c_.path() + QString("/Z/more%1.bin").arg(scan), 1000);
        host.scan->acDiskAnalize()->trigger();
        ASSERT_TRUE(host.scan->Scanning());
        ASSERT_TRUE(WaitForScanEnd());
        // Shown from the lists stored, whether or not the copy is done.
        EXPECT_TRUE(host.Rows().back().startsWith(QString("Z %1 ").arg(10 + 1000 * scan)))
            << host.Rows().back().toStdString();
        if (scan == 3)
            host.close();  // waits for the copy
    }
    EXPECT_EQ(kept, 3);
    EXPECT_TRUE(told_.isEmpty()) << told_.join("\n").toStdString();
    const std::vector<THistoryEntry> entries = TScanHistory(data).Entries('C');
    ASSERT_EQ(entries.size(), 3u);
    std::set<std::int64_t> oldest;
    for (const THistoryEntry& entry : entries) {
        THistorySnapshot snapshot;
        std::string message;
        ASSERT_TRUE(TScanHistory(data).Load(entry, snapshot, message)) << message;
        ASSERT_EQ(snapshot.Dirs.size(), 4u);
        oldest.insert(snapshot.Sizes[3]);
    }
    // Z as each of the three scans before the last found it.
    EXPECT_EQ(oldest, (std::set<std::int64_t>{10, 1010, 2010}));
}
