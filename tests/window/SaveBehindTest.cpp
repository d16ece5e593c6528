// The real main window while a scan's results are being saved behind the
// views: the save is held on its thread at its first step, and the test
// checks what works meanwhile, what waits for it, and a save that fails.
#include <gtest/gtest.h>

#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QToolBar>
#include <QTreeWidget>
#include <atomic>
#include <iostream>
#include <thread>

#include "app/discover/DiscoverPanel.h"
#include "app/scan/SaveRunner.h"
#include "app/scan/ScanControl.h"
#include "engine/AnalizeDisk.h"
#include "engine/NcduExport.h"
#include "engine/ResultStore.h"
#include "tests/pieui/UiScript.h"
#include "tests/window/WindowFixture.h"

namespace {

struct TBehindScan {
    TStringList Dirs, Sizes, Percents;
};

TBehindScan ScanDriveCBehind() {
    TAnalizeDisk analyzer;
    analyzer.Directory = "C:\\";
    analyzer.Recurse = true;
    analyzer.Execute();
    return {analyzer.Dirs(), analyzer.DirSizes(), analyzer.Percents()};
}

// Our export of the folder, as the window opens scan files.
void ExportDriveBehind(const QString& folder, const QString& file) {
    TExportOutput out;
    TExportSettings settings;
    settings.NativeRoot = folder.toStdString();
    std::string error;
    ASSERT_TRUE(out.Open(file.toStdString(), error) && ExportNcdu(settings, out, error) &&
                out.Commit(error))
        << error;
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Holds the next save that reaches its first step until released; later
// steps and other saves pass.
struct TLatch {
    std::atomic<bool> armed{false};
    std::atomic<bool> reached{false};
    std::atomic<bool> released{false};
    void Arm() {
        reached = false;
        released = false;
        armed = true;
    }
    void Step(int step) {
        if (step != 0 || !armed.exchange(false))
            return;
        reached = true;
        while (!released)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
};

class SaveBehind : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        // The drive's data home, where the trash goes; scanned with the rest.
        ASSERT_TRUE(QDir(drive->path()).mkpath("share"));
        storeResults = false;
        const TBehindScan scan = ScanDriveCBehind();
        TResultStore store;
        store.SetFiles("C:");
        ASSERT_TRUE(store.SaveAnalizeData({scan.Dirs, scan.Sizes, scan.Percents}));
    }

    void Open() {
        OpenWindow();
        form->Store.SaveStepHook = [this](int step) { latch.Step(step); };
        form->Scan().SetAsker([this](const QString& text) {
            questions.push_back(text);
            return true;
        });
        form->Scan().SetTeller([this](const QString& text) { told << text; });
    }

    // A drive scan whose save is then held.
    void ScanAndHold() {
        latch.Arm();
        form->acDiskAnalize->trigger();
        ASSERT_TRUE(QTest::qWaitFor([this] { return latch.reached.load(); }, 20000));
        Settle();
        ASSERT_FALSE(form->Scan().Scanning());
        ASSERT_TRUE(form->Scan().Saving());
    }

    bool WaitForAll() {
        return QTest::qWaitFor(
            [this] { return !form->Scan().Scanning() && !form->Scan().Saving(); }, 20000);
    }

    QString Result(const char* name) const { return data->path() + "/cobaltquarry/" + name; }

    QString StateText() const {
        return form->SaveState && form->SaveState->isVisible() ? form->SaveState->text()
                                                               : QString();
    }

    TLatch latch;
    QStringList told;
};

TEST_F(SaveBehind, ViewsWorkWhileSavingAndEverythingThatChangesTheListsWaits) {
    Open();
    // A quarter of a megabyte more in beta, found by the next scan.
    QFile more(QDir(drive->path()).filePath("beta/more.bin"));
    ASSERT_TRUE(more.open(QIODevice::WriteOnly) && more.resize(250000));
    more.close();
    ASSERT_EQ(RowText("beta", 1), "0.3");
    qputenv("XDG_DATA_HOME", QFile::encodeName(QDir(drive->path()).filePath("share")));
    const QByteArray sizesBefore = FileBytes(Result("CDirSizes"));

    ScanAndHold();
    // Shown from the walk's lists, not yet stored.
    EXPECT_EQ(RowText("beta", 1), "0.5");
    EXPECT_EQ(FileBytes(Result("CDirSizes")), sizesBefore);
    EXPECT_EQ(StateText(), "Saving\u2026");
    ASSERT_NE(form->SaveBusy, nullptr);
    EXPECT_TRUE(form->SaveBusy->isVisible());

    // Navigation and the views.
    DoubleClickRow("alpha");
    EXPECT_EQ(RowNames(), (QStringList{"inner", "a.bin"}));
    form->acFolderUP->trigger();
    Settle();
    EXPECT_EQ(form->Bar().Root(), "C:\\");

    // A second scan is asked for, and waits.
    form->acDiskAnalize->trigger();
    EXPECT_EQ(questions.size(), 2u);
    EXPECT_TRUE(form->Scan().ScanWaiting());
    EXPECT_EQ(form->Scan().ScanThread(), nullptr);
    EXPECT_EQ(StateText(), "Saving\u2026 next scan waits");

    // Move to Trash does not wait for the save: the window answers at once,
    // its change waits behind the save and is made when it ends.
    DoubleClickRow("alpha");
    TUiScript script;
    RightClickRow("inner", script,
                  {TUiScript::ChooseMenuItem("Move to Trash"),
                   TUiScript::ClickMessageBoxButton(QMessageBox::Yes)});
    EXPECT_FALSE(form->Scan().Saver().Blocked());
    EXPECT_EQ(form->Scan().ChangesWaiting(), 1u);
    EXPECT_EQ(form->SaveState->toolTip(),
              "The results of the scan are being saved. The next scan starts when they are "
              "stored.");
    EXPECT_EQ(FileBytes(Result("CDirSizes")), sizesBefore) << "the trash's change waits";
    EXPECT_EQ(RowNames(), (QStringList{"a.bin"}));
    latch.released = true;

    // The waiting scan ran then; what is stored is the drive as it is now,
    // the scan's save and the trash's change in their order.
    ASSERT_TRUE(WaitForAll());
    Settle();
    EXPECT_EQ(questions.size(), 2u);
    const TBehindScan now = ScanDriveCBehind();
    TResultStore stored(form->Store.DataFolder);
    stored.SetFiles("C:");
    ASSERT_TRUE(stored.LoadGlobal());
    EXPECT_EQ(stored.GlobalDirs(), now.Dirs);
    EXPECT_EQ(stored.GlobalDirSizes(), now.Sizes);
    EXPECT_EQ(form->Store.GlobalDirSizes(), now.Sizes);
    EXPECT_EQ(StateText(), "");
    EXPECT_FALSE(form->SaveBusy->isVisible());
    EXPECT_TRUE(told.isEmpty()) << told.join(" | ").toStdString();

    // Closing waits for the save, with a message once it takes over a second.
    ScanAndHold();
    form->close();
    Settle();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(StateText(), "Saving\u2026 closing after");
    EXPECT_EQ(form->SaveState->toolTip(),
              "The results of the scan are being saved. The window "
              "closes when they are stored.");
    ASSERT_TRUE(QTest::qWaitFor([this] { return form->Scan().ClosingMessage() != nullptr; }, 5000));
    EXPECT_TRUE(form->Scan().ClosingMessage()->isVisible());
    EXPECT_FALSE(form->Scan().ClosingMessage()->isModal());
    EXPECT_TRUE(form->isVisible());
    latch.released = true;
    ASSERT_TRUE(QTest::qWaitFor([this] { return !form->isVisible(); }, 20000));
    EXPECT_TRUE(form->ListsFreed);
    EXPECT_TRUE(QTest::qWaitFor([this] { return form->Scan().ClosingMessage() == nullptr; }));
    ASSERT_TRUE(stored.LoadGlobal());
    EXPECT_EQ(stored.GlobalDirSizes(), now.Sizes);
}

// A save that fails is told, changes nothing stored, and the results shown
// are marked as not stored until the next load.
TEST_F(SaveBehind, AFailedSaveLeavesTheStoredSetAndMarksTheResultsNotStored) {
    Open();
    QFile more(QDir(drive->path()).filePath("beta/more.bin"));
    ASSERT_TRUE(more.open(QIODevice::WriteOnly) && more.resize(250000));
    more.close();
    const QByteArray sizesBefore = FileBytes(Result("CDirSizes"));
    // A folder where the manifest goes: the save cannot finish, even as root.
    ASSERT_TRUE(QFile::remove(Result("CSet")));
    ASSERT_TRUE(QDir().mkpath(Result("CSet") + "/in-the-way"));

    form->acDiskAnalize->trigger();
    ASSERT_TRUE(WaitForAll());
    Settle();
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].startsWith("The results of the scan could not be saved: "))
        << told[0].toStdString();
    EXPECT_TRUE(told[0].endsWith("The results stored before are kept.")) << told[0].toStdString();
    EXPECT_EQ(FileBytes(Result("CDirSizes")), sizesBefore);
    EXPECT_EQ(RowText("beta", 1), "0.5");
    EXPECT_EQ(StateText(), "Results not stored");
    EXPECT_FALSE(form->SaveBusy->isVisible());
    // Still so in another folder.
    DoubleClickRow("alpha");
    EXPECT_EQ(StateText(), "Results not stored");

    // The next load shows what is stored, and the mark goes.
    ASSERT_TRUE(QDir(Result("CSet")).removeRecursively());
    form->Scan().SetReloadPending();
    form->Analize(false);
    Settle();
    EXPECT_EQ(form->Store.GlobalDirSizes()[0], "1000000");
    EXPECT_EQ(StateText(), "");
}

// A folder rescan whose save finds the drive stored again meanwhile (by the
// scanner, with the Discover data this window's lists lack) is merged into
// that set, and the window then shows it: the lists and the Discover panel.
TEST_F(SaveBehind, ARescanMergedIntoANewerSetShowsItsListsAndDiscoverData) {
    Open();
    EXPECT_EQ(form->Discover().LargestList()->topLevelItemCount(), 0);
    {
        TAnalizeDisk scanner;
        scanner.Directory = "C:\\";
        scanner.Recurse = true;
        scanner.Execute();
        TResultStore store(form->Store.DataFolder);
        store.SetFiles("C:");
        ASSERT_TRUE(store.SaveAnalizeData(
            {scanner.Dirs(), scanner.DirSizes(), scanner.Percents(), scanner.TakeExtras()}));
    }
    QFile more(QDir(drive->path()).filePath("beta/new.bin"));
    ASSERT_TRUE(more.open(QIODevice::WriteOnly) && more.resize(600000));
    more.close();
    DoubleClickRow("beta");
    form->acFolderAnalize->trigger();
    ASSERT_TRUE(WaitForAll());
    Settle();
    EXPECT_TRUE(told.isEmpty()) << told.join(" | ").toStdString();
    EXPECT_TRUE(form->Scan().Stored());
    const TBehindScan now = ScanDriveCBehind();
    EXPECT_EQ(form->Store.GlobalDirSizes(), now.Sizes);
    // The rescan's large file, and those outside beta from the set stored.
    QStringList largest;
    QTreeWidget* list = form->Discover().LargestList();
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        largest << list->topLevelItem(i)->text(0);
    EXPECT_EQ(largest.mid(0, 3), (QStringList{"new.bin", "b.bin", "a.bin"}));
}

}  // namespace

// A scan file opened while a scan's results are still being saved: the
// window does not wait for the save (which reads the lists shown), the
// file's lists replace them when it ends, and the window then shows them.
TEST_F(SaveBehind, AScanFileOpenedDuringTheSaveIsShownOnceTheSaveEnds) {
    Open();
    const QString file = data->filePath("drive.json");
    ExportDriveBehind(drive->path(), file);
    ScanAndHold();
    // Released at once if the window's thread ever waited for the save (or
    // after 20 s of anything else), so that a wait fails instead of hanging.
    std::atomic<bool> waited{false}, done{false};
    std::thread watchdog([&] {
        for (int ms = 0; !done; ++ms) {
            waited = waited || form->Scan().Saver().Blocked();
            if (waited || ms == 20000)
                latch.released = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    form->OpenScanFile(file);
    Settle();
    EXPECT_FALSE(waited);
    EXPECT_TRUE(form->Scan().Saving());
    EXPECT_EQ(form->Store.QueuedReplacements(), 1u);
    EXPECT_EQ(form->Store.GlobalDirs()[0], "C:");
    EXPECT_NE(form->Bar().Root(), "Z:\\");
    latch.released = true;
    ASSERT_TRUE(WaitForAll());
    Settle();
    done = true;
    watchdog.join();
    EXPECT_EQ(form->Store.QueuedReplacements(), 0u);
    EXPECT_EQ(form->Store.GlobalDirs()[0], "Z:");
    EXPECT_EQ(form->Bar().Root(), "Z:\\");
    EXPECT_EQ(form->Tree->Root(), "Z:\\");
    EXPECT_FALSE(form->acDiskAnalize->isEnabled());
    EXPECT_TRUE(told.isEmpty()) << told.join("; ").toStdString();
    // The scan's results were stored all the same.
    TResultStore stored;
    stored.SetFiles("C:");
    ASSERT_TRUE(stored.LoadGlobal()) << stored.LoadNotice;
    EXPECT_EQ(stored.GlobalDirs()[0], "C:");
}

namespace {

// A window that goes while a save runs and an item command's change waits
// behind it: both are stored, and nothing of the window is called any more.
TEST_F(SaveBehind, AChangeWaitingBehindASaveIsStoredWhenTheWindowGoes) {
    Open();
    qputenv("XDG_DATA_HOME", QFile::encodeName(QDir(drive->path()).filePath("share")));
    ScanAndHold();
    DoubleClickRow("alpha");
    TUiScript script;
    RightClickRow("inner", script,
                  {TUiScript::ChooseMenuItem("Move to Trash"),
                   TUiScript::ClickMessageBoxButton(QMessageBox::Yes)});
    ASSERT_TRUE(script.Finished());
    ASSERT_EQ(form->Scan().ChangesWaiting(), 1u);
    std::thread releaser([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        latch.released = true;
    });
    form.reset();
    releaser.join();
    const TBehindScan now = ScanDriveCBehind();
    TResultStore stored(data->path().toStdString() + "/cobaltquarry/");
    stored.SetFiles("C:");
    ASSERT_TRUE(stored.LoadGlobal());
    EXPECT_EQ(stored.GlobalDirs(), now.Dirs);
    EXPECT_EQ(stored.GlobalDirSizes(), now.Sizes);
}

}  // namespace
