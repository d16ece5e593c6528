#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include "engine/AnalizeDisk.h"
#include "engine/ScanThread.h"
#include "platform/DriveTable.h"
#include "tests/scanui/TestApp.h"

class ScanThreadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        TestApp();
        ASSERT_TRUE(dir_.isValid());
        table_ =
            std::make_unique<TScopedDriveTable>(TDriveTable({{'C', dir_.path().toStdString()}}));
        QDir(dir_.path()).mkpath("Sub");
        QFile file(dir_.path() + "/Sub/f.bin");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(64, 'x'));
    }

    QTemporaryDir dir_;
    std::unique_ptr<TScopedDriveTable> table_;
    QObject receiver_;
};

TEST_F(ScanThreadTest, HandsTheFinishedListsToTheReceiversThreadOnceAndFreesItself) {
    std::vector<std::shared_ptr<TScanResult>> results;
    QThread* handOffThread = nullptr;
    auto* thread = new TThreadDiskAnalize(&receiver_, [&](std::shared_ptr<TScanResult> result) {
        handOffThread = QThread::currentThread();
        results.push_back(std::move(result));
    });
    QPointer<TThreadDiskAnalize> alive(thread);
    thread->Analyzer().Directory = "C:\\";
    thread->Analyzer().Recurse = true;
    thread->Start();
    ASSERT_TRUE(WaitUntil([&] { return !results.empty() && alive.isNull(); }));
    QTest::qWait(20);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(handOffThread, QCoreApplication::instance()->thread());
    const TScanResult& r = *results[0];
    EXPECT_FALSE(r.Cancelled);
    EXPECT_EQ(r.Directory, "C:\\");
    EXPECT_EQ(r.Set.Dirs, (TStringList{"C:", "C:\\Sub"}));
    EXPECT_EQ(r.Set.Sizes, (TStringList{"64", "64"}));
    EXPECT_EQ(r.Set.Percents, (TStringList{"0", "100"}));
}

TEST_F(ScanThreadTest, CancelIsTheAnalyzersFlagAndACancelledRunSaysSo) {
    std::shared_ptr<TScanResult> result;
    auto* thread = new TThreadDiskAnalize(
        &receiver_, [&](std::shared_ptr<TScanResult> r) { result = std::move(r); });
    EXPECT_FALSE(thread->Cancel());
    thread->SetCancel(true);
    EXPECT_TRUE(thread->Analyzer().Cancel.load());
    thread->Analyzer().Cancel = false;
    EXPECT_FALSE(thread->Cancel());
    thread->Analyzer().Directory = "C:\\";
    thread->Analyzer().Recurse = true;
    thread->SetCancel(true);
    thread->Start();
    ASSERT_TRUE(WaitUntil([&] { return result != nullptr; }));
    EXPECT_TRUE(result->Cancelled);
}

TEST_F(ScanThreadTest, NoHandOffReachesAReceiverThatIsGone) {
    bool called = false;
    QPointer<TThreadDiskAnalize> alive;
    {
        QObject receiver;
        auto* thread =
            new TThreadDiskAnalize(&receiver, [&](std::shared_ptr<TScanResult>) { called = true; });
        alive = thread;
        thread->Analyzer().Directory = "C:\\";
        thread->Start();
        thread->wait();  // what an owner does before it goes away
    }
    ASSERT_TRUE(WaitUntil([&] { return alive.isNull(); }));
    QTest::qWait(20);
    EXPECT_FALSE(called);
}

TEST_F(ScanThreadTest, ProgressCountsTheFoldersFilesAndBytesWalked) {
    QPointer<TThreadDiskAnalize> thread = new TThreadDiskAnalize(&receiver_, {});
    EXPECT_EQ(thread->Progress().Folders, 0);
    EXPECT_EQ(thread->Progress().Files, 0);
    EXPECT_EQ(thread->Progress().Bytes, 0);
    EXPECT_TRUE(thread->Progress().FilesKnown);
    thread->Analyzer().Directory = "C:\\";
    thread->Analyzer().Recurse = true;
    thread->Start();
    thread->wait();  // its deletion waits for the event loop
    ASSERT_FALSE(thread.isNull());
    EXPECT_EQ(thread->Progress().Folders, 2);
    EXPECT_EQ(thread->Progress().Files, 1);
    EXPECT_EQ(thread->Progress().Bytes, 64);
    ASSERT_TRUE(WaitUntil([&] { return thread.isNull(); }));
}

// A run that fails (memory running out in the walk) ends as a cancelled one
// that says why, for the window to tell; a run that ends well says nothing.
TEST_F(ScanThreadTest, AFailedRunIsHandedOverAsCancelledWithWhy) {
    for (const bool fails : {false, true}) {
        std::shared_ptr<TScanResult> result;
        auto* thread = new TThreadDiskAnalize(
            &receiver_, [&](std::shared_ptr<TScanResult> r) { result = std::move(r); });
        thread->Analyzer().Directory = "C:\\";
        thread->Analyzer().Recurse = true;
        thread->Analyzer().OnNewPath = [fails](TAnalizeDisk*, const std::string&, bool&) {
            if (fails)
                throw std::bad_alloc();
        };
        thread->Start();
        ASSERT_TRUE(WaitUntil([&] { return result != nullptr; }));
        EXPECT_EQ(result->Cancelled, fails);
        EXPECT_EQ(result->Failure,
                  fails ? "The scan of C:\\ failed: there is not enough memory." : "");
    }
}
