// A scan from the window to the stored files and back: questions, cancels,
// failures to store, folder rescans.
#include "tests/scanui/ScanEndToEndFixture.h"

TEST_F(ScanEndToEnd, FirstStartAsksScansStoresAndShowsTheDrivesFolders) {
    TScanHost& host = Start();
    host.show();
    EXPECT_EQ(asked_, QStringList{"Analize drive \"C:\\\" ?       "});
    ASSERT_TRUE(WaitForScanEntered());
    EXPECT_TRUE(host.scan->FormWait().isVisible());
    EXPECT_EQ(host.cursor().shape(), Qt::WaitCursor);
    EXPECT_NE(host.scan->ScanThread(), nullptr);
    host.scan->FormWait().RefreshProgress();
    const QString line = host.scan->FormWait().ProgressLine()->text();
    // The live counts of the walk held at its gate: folders, files, bytes.
    EXPECT_TRUE(QRegularExpression("^\\d+ folders?, \\d+ files?\n\\d+(\\.\\d)? [KMGT]?B, 0:\\d\\d$")
                    .match(line)
                    .hasMatch())
        << line.toStdString();
    EXPECT_TRUE(host.firstShowPending);

    gate_.released = true;
    ASSERT_TRUE(WaitForScanEnd());
    ExpectStoredAsFirstScanned();
    EXPECT_EQ(host.store.GlobalDirs(), (TStringList{"C:", "C:\\A", "C:\\A\\B", "C:\\Z"}));
    EXPECT_EQ(host.tree.Dirs, host.store.GlobalDirs());
    EXPECT_EQ(host.Rows(), (QStringList{"A 150 75", "Z 10 5"}));
    EXPECT_FALSE(host.scan->FormWait().isVisible());
    EXPECT_EQ(host.cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(host.scan->ScanThread(), nullptr);
    EXPECT_TRUE(host.scan->ReloadPending());
    EXPECT_EQ(host.barPropertiesRuns, 1);
    EXPECT_EQ(host.treeRoot, "C:\\");
}

TEST_F(ScanEndToEnd, NextStartOpensWithoutAsking) {
    AnalyseFirstTime();
    host_.reset();
    TScanHost& host = Start();
    host.show();
    EXPECT_TRUE(asked_.isEmpty());
    EXPECT_FALSE(host.scan->Scanning());
    EXPECT_FALSE(host.scan->ReloadPending());
    EXPECT_EQ(host.Rows(), (QStringList{"A 150 75", "Z 10 5"}));
    EXPECT_FALSE(host.firstShowPending);
}

TEST_F(ScanEndToEnd, DriveScanCommandAsksAgainAndReplacesTheResults) {
    AnalyseFirstTime();
    TScanHost& host = *host_;
    WriteFile(c_.path() + "/Z/more.bin", 1000);

    Answer(false);  // No: nothing happens
    QTest::keyClick(&host, Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(asked_, QStringList{"Analize drive \"C:\\\" ?       "});
    EXPECT_FALSE(host.scan->Scanning());
    ExpectStoredAsFirstScanned();

    Answer(true);
    QTest::keyClick(&host, Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(asked_.size(), 2);
    ASSERT_TRUE(WaitForScanEnd());
    EXPECT_EQ(ReadAll(Result("CDirSizes")), "1200\r\n150\r\n50\r\n1010\r\n");
    EXPECT_EQ(host.Rows(), (QStringList{"A 150 12.5", "Z 1010 84.1666641235352"}));
}

TEST_F(ScanEndToEnd, CancelLeavesFilesListsAndCursorAsBefore) {
    AnalyseFirstTime();
    TScanHost& host = *host_;
    WriteFile(c_.path() + "/Z/more.bin", 1000);
    const TStringList dirs = host.store.GlobalDirs(), sizes = host.store.GlobalDirSizes(),
                      percents = host.store.GlobalPercents();
    const QStringList rows = host.Rows();
    gate_.released = false;
    gate_.entered = false;

    host.scan->acDiskAnalize()->trigger();
    ASSERT_TRUE(WaitForScanEntered());
    EXPECT_EQ(host.cursor().shape(), Qt::WaitCursor);
    QTest::mouseClick(host.scan->FormWait().BtnNo(), Qt::LeftButton);
    EXPECT_TRUE(host.scan->ScanThread() == nullptr || host.scan->ScanThread()->Cancel());
    ASSERT_TRUE(WaitForScanEnd());

    ExpectStoredAsFirstScanned();
    EXPECT_EQ(host.store.GlobalDirs(), dirs);
    EXPECT_EQ(host.store.GlobalDirSizes(), sizes);
    EXPECT_EQ(host.store.GlobalPercents(), percents);
    EXPECT_EQ(host.Rows(), rows);
    EXPECT_EQ(host.cursor().shape(), Qt::ArrowCursor);
    EXPECT_FALSE(host.scan->FormWait().isVisible());
    EXPECT_TRUE(host.scan->acDiskAnalize()->isEnabled());
}

// Result files that cannot be written: no file may grow past a few bytes
// while the scan ends (as for root too, unlike permissions).
class TFileSizeLimit {
  public:
    TFileSizeLimit() {
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit tiny = old_;
        tiny.rlim_cur = 8;
        setrlimit(RLIMIT_FSIZE, &tiny);
    }
    ~TFileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

  private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

// A scan whose files cannot be written changes nothing stored; its results
// are shown all the same, marked as not stored until the next load.
TEST_F(ScanEndToEnd, ScansWhoseResultsCannotBeWrittenAreShownAsNotStored) {
    AnalyseFirstTime();
    TScanHost& host = *host_;
    WriteFile(c_.path() + "/A/New/n.bin", 1000);
    host.SetFolder("C:\\A");
    const int ends = host.scanEnds;
    int runs = host.barPropertiesRuns;
    const TStringList scanned{"C:", "C:\\A", "C:\\A\\B", "C:\\A\\New", "C:\\Z"};
    for (QAction* command : {host.scan->acFolderAnalize(), host.scan->acDiskAnalize()}) {
        {
            TFileSizeLimit limit;
            command->trigger();
            ASSERT_TRUE(WaitForScanEnd());
        }
        ExpectStoredAsFirstScanned();
        EXPECT_EQ(host.store.GlobalDirs(), scanned);
        EXPECT_EQ(host.store.GlobalDirSizes(), (TStringList{"1200", "1150", "50", "1000", "10"}));
        EXPECT_EQ(host.tree.Dirs, scanned);
        EXPECT_EQ(host.Rows(), (QStringList{"B 50 4.34782600402832", "New 1000 86.9565200805664"}));
        EXPECT_EQ(host.barPropertiesRuns, ++runs) << "the views show the scan";
        EXPECT_FALSE(host.scan->Stored());
        EXPECT_TRUE(host.store.ListsUnsaved());
        EXPECT_EQ(host.scan->SaveStateText(), "Results not stored");
    }
    EXPECT_EQ(host.scanEnds, ends + 2);
    EXPECT_FALSE(host.scan->FormWait().isVisible());
    EXPECT_EQ(host.cursor().shape(), Qt::ArrowCursor);
    // A load shows what is stored, and the mark goes.
    host.scan->SetReloadPending();
    host.scan->Analize(false);
    EXPECT_EQ(host.store.GlobalDirSizes(), (TStringList{"200", "150", "50", "10"}));
    EXPECT_FALSE(host.store.ListsUnsaved());
    EXPECT_EQ(host.scan->SaveStateText(), "");
}

TEST_F(ScanEndToEnd, FolderRescanStoresWhatADriveScanStores) {
    AnalyseFirstTime();
    TScanHost& host = *host_;
    WriteFile(c_.path() + "/A/B/new.bin", 1000);
    WriteFile(c_.path() + "/A/New/n.bin", 7);  // a folder new since the drive scan
    host.SetFolder("C:\\A");
    EXPECT_EQ(host.Rows(), QStringList{"B 50 33.3333320617676"});

    QTest::keyClick(&host, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(asked_, QStringList{"Analize folder \"C:\\A \" ?"});
    EXPECT_TRUE(host.scan->FolderRescan());
    EXPECT_NE(host.cursor().shape(), Qt::WaitCursor) << "a rescan leaves the cursor alone";
    ASSERT_TRUE(WaitForScanEnd());

    EXPECT_FALSE(host.scan->FolderRescan());
    EXPECT_EQ(host.store.GlobalDirs(),
              (TStringList{"C:", "C:\\A", "C:\\A\\B", "C:\\A\\New", "C:\\Z"}));
    // The drive root carries A's growth; every share is of the new parent.
    EXPECT_EQ(host.store.GlobalDirSizes(), (TStringList{"1207", "1157", "1050", "7", "10"}));
    EXPECT_EQ(host.store.GlobalPercents(), (TStringList{"0", "95.8574981689453", "90.7519454956055",
                                                        "0.605012953281403", "0.828500390052795"}));
    EXPECT_EQ(host.Rows(), (QStringList{"B 1050 90.7519454956055", "New 7 0.605012953281403"}));
    EXPECT_EQ(host.scan->LastRoot(), "C:\\A");

    // Nothing else changed: a scan of the whole drive stores the same bytes.
    const QByteArray dirs = ReadAll(Result("CDirs")), sizes = ReadAll(Result("CDirSizes")),
                     percents = ReadAll(Result("CPercents"));
    host.scan->acDiskAnalize()->trigger();
    ASSERT_TRUE(WaitForScanEnd());
    EXPECT_EQ(ReadAll(Result("CDirs")), dirs);
    EXPECT_EQ(ReadAll(Result("CDirSizes")), sizes);
    EXPECT_EQ(ReadAll(Result("CPercents")), percents);
}

// The scanner stores a rescan of Z while the window shows drive C; the
// window's own rescan of A then goes into what the scanner stored, not into
// the lists it loaded before: both rescans are kept.
TEST_F(ScanEndToEnd, FolderRescanKeepsARescanTheScannerStoredMeanwhile) {
    AnalyseFirstTime();
    TScanHost& host = *host_;
    ASSERT_EQ(host.store.GlobalDirSizes(), (TStringList{"200", "150", "50", "10"}));
    WriteFile(c_.path() + "/Z/more.bin", 500);
    std::ostringstream out, err;
    TScanCommand scanner;
    ASSERT_EQ(scanner.Run({"--save", (c_.path() + "/Z").toStdString()}, out, err), 0) << err.str();
    ASSERT_EQ(ReadAll(Result("CDirSizes")), "700\r\n150\r\n50\r\n510\r\n");

    WriteFile(c_.path() + "/A/B/new.bin", 1000);
    host.SetFolder("C:\\A");
    QTest::keyClick(&host, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(WaitForScanEnd());
    EXPECT_EQ(told_, QStringList{});
    EXPECT_EQ(ReadAll(Result("CDirs")), kDirs);
    EXPECT_EQ(ReadAll(Result("CDirSizes")), "1700\r\n1150\r\n1050\r\n510\r\n");
    EXPECT_EQ(host.store.GlobalDirSizes(), (TStringList{"1700", "1150", "1050", "510"}));
    EXPECT_EQ(host.tree.Dirs, host.store.GlobalDirs());
    // Shown at the walk's end as merged into the lists loaded, then again as
    // stored.
    EXPECT_EQ(host.shownAgain, 1);
    EXPECT_EQ(host.Rows(), (QStringList{"B 1050 91.3043441772461"}));
    EXPECT_TRUE(host.scan->Stored());
}

TEST_F(ScanEndToEnd, RescanTakesTheFolderByItsRealNameNotItsCaseTwin) {
    WriteFile(c_.path() + "/a/x.bin", 5);  // "a" beside "A": two folders here
    AnalyseFirstTime();
    TScanHost& host = *host_;
    ASSERT_EQ(host.store.GlobalDirs(), (TStringList{"C:", "C:\\A", "C:\\A\\B", "C:\\Z", "C:\\a"}));
    WriteFile(c_.path() + "/a/y.bin", 1000);
    host.SetFolder("C:\\a");
    QTest::keyClick(&host, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(asked_, QStringList{"Analize folder \"C:\\a \" ?"});
    EXPECT_EQ(host.scan->LastRoot(), "C:\\A");
    ASSERT_TRUE(WaitForScanEnd());
    EXPECT_EQ(host.store.GlobalDirSizes(), (TStringList{"1205", "150", "50", "10", "1005"}));
}

TEST_F(ScanEndToEnd, CancelledRescanThenDriveScanReplacesTheResultsWhole) {
    AnalyseFirstTime();
    TScanHost& host = *host_;
    WriteFile(c_.path() + "/A/B/new.bin", 1000);
    host.SetFolder("C:\\A");
    gate_.released = false;
    gate_.entered = false;
    host.scan->acFolderAnalize()->trigger();
    ASSERT_TRUE(WaitForScanEntered());
    QTest::mouseClick(host.scan->FormWait().BtnNo(), Qt::LeftButton);
    ASSERT_TRUE(WaitForScanEnd());
    ExpectStoredAsFirstScanned();
    EXPECT_FALSE(host.scan->FolderRescan());

    gate_.released = true;
    host.scan->acDiskAnalize()->trigger();
    ASSERT_TRUE(WaitForScanEnd());
    EXPECT_EQ(ReadAll(Result("CDirSizes")), "1200\r\n1150\r\n1050\r\n10\r\n");
    EXPECT_EQ(ReadAll(Result("CDirs")), kDirs);
    EXPECT_EQ(host.store.GlobalPercents()[1], "95.8333358764648");
}

TEST_F(ScanEndToEnd, ASaveThatFailsIsToldAndTheStoredResultsStayUnderTheScansShownOnes) {
    AnalyseFirstTime();
    TScanHost& host = *host_;
    const QStringList rows = host.Rows();
    // A folder where the manifest goes: the save cannot finish, even as root.
    ASSERT_TRUE(QFile::remove(Result("CSet")));
    ASSERT_TRUE(QDir().mkpath(Result("CSet") + "/in-the-way"));
    WriteFile(c_.path() + "/Z/more.bin", 1000);
    host.scan->acDiskAnalize()->trigger();
    ASSERT_TRUE(WaitForScanEnd());
    // The drive is entered again before the scan: a manifest that is no
    // regular file makes the stored set one that cannot be checked.
    ASSERT_EQ(told_.size(), 2) << told_.join(" | ").toStdString();
    EXPECT_TRUE(told_[0].contains(Result("CSet") + " is damaged")) << told_[0].toStdString();
    EXPECT_TRUE(told_[1].startsWith("The results of the scan could not be saved: "))
        << told_[1].toStdString();
    EXPECT_TRUE(told_[1].contains(Result("CSet"))) << told_[1].toStdString();
    ExpectStoredAsFirstScanned();
    // The scan's results are shown, not stored.
    EXPECT_NE(host.Rows(), rows);
    EXPECT_EQ(host.Rows().back(), "Z 1010 84.1666641235352");
    EXPECT_EQ(host.scan->SaveStateText(), "Results not stored");
}

TEST_F(ScanEndToEnd, StoredResultsThatCannotBeTrustedAreToldOnceAndTheDriveIsOffered) {
    AnalyseFirstTime();
    host_.reset();
    // A set of an earlier version (no manifest) that lost a size: every folder
    // after it would show its neighbour's.
    ASSERT_TRUE(QFile::remove(Result("CSet")));
    QFile sizes(Result("CDirSizes"));
    ASSERT_TRUE(sizes.open(QIODevice::WriteOnly | QIODevice::Truncate));
    sizes.write("200\r\n150\r\n10\r\n");
    sizes.close();
    TScanHost& host = Start(false);
    host.show();
    ASSERT_EQ(told_.size(), 1);
    EXPECT_TRUE(told_[0].contains("drive C: cannot be used")) << told_[0].toStdString();
    EXPECT_TRUE(told_[0].contains(Result("CDirSizes"))) << told_[0].toStdString();
    EXPECT_EQ(asked_, QStringList{"Analize drive \"C:\\\" ?       "});
    EXPECT_EQ(host.store.GlobalDirs(), TStringList{" "});
    EXPECT_TRUE(host.Rows().isEmpty());
    // Coming back to the drive asks again but does not tell again.
    host.scan->SetReloadPending();
    host.scan->Analize(false);
    EXPECT_EQ(told_.size(), 1);
    EXPECT_EQ(asked_.size(), 2);
}

TEST_F(ScanEndToEnd, ChoosingADriveWithoutResultsAndAnsweringNoChangesNothing) {
    AnalyseFirstTime();
    TScanHost& host = *host_;
    Answer(false);
    const TStringList dirs = host.store.GlobalDirs();
    QTest::mouseClick(host.drives->btnDrives(), Qt::LeftButton);
    QMenu* menu = host.drives->pmDrives();
    ASSERT_TRUE(menu->isVisible());
    ASSERT_EQ(menu->actions().size(), 2);
    QAction* d = menu->actions()[1];
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(d).center());

    EXPECT_EQ(asked_, QStringList{"Analize drive \"D:\\\" ?       "});
    EXPECT_EQ(host.root, "D:\\");
    EXPECT_EQ(host.drives->btnDrives()->text(), d->text());
    EXPECT_FALSE(host.scan->Scanning());
    EXPECT_EQ(host.store.GlobalDirs(), dirs);
    EXPECT_FALSE(QFile::exists(Result("DDirs")));
    ExpectStoredAsFirstScanned();
}

TEST_F(ScanEndToEnd, RescanOnADriveWhoseResultsAreNotLoadedOffersTheDriveScan) {
    AnalyseFirstTime();
    TScanHost& host = *host_;
    WriteFile(d_.path() + "/Sub/s.bin", 30);
    Answer(false);
    host.SetFolder("D:\\");
    host.scan->SetReloadPending();
    host.scan->Analize(false);  // declined: the lists still hold C:
    host.SetFolder("D:\\Sub");
    asked_.clear();

    QTest::keyClick(&host, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(asked_, QStringList{"Drive \"D:\\\" must be analized first. Analize drive "
                                  "\"D:\\\" ?       "});
    EXPECT_FALSE(host.scan->Scanning());
    EXPECT_FALSE(QFile::exists(Result("DDirs")));
    ExpectStoredAsFirstScanned();

    Answer(true);
    QTest::keyClick(&host, Qt::Key_F, Qt::ControlModifier);
    EXPECT_FALSE(host.scan->FolderRescan()) << "the offer scans the whole drive";
    ASSERT_TRUE(WaitForScanEnd());
    EXPECT_EQ(ReadAll(Result("DDirs")), "D:\r\nD:\\Sub\r\n");
    EXPECT_EQ(ReadAll(Result("DDirSizes")), "30\r\n30\r\n");
    ExpectStoredAsFirstScanned();
}
