#pragma once
// The scan window on temporary drives, every question answered by the test:
// the fixture the end-to-end scan tests share.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <csignal>
#include <set>
#include <sstream>

#include "app/wait/FormWait.h"
#include "engine/ScanHistory.h"
#include "platform/DriveTable.h"
#include "tests/scanui/ScanHost.h"
#include "tests/scanui/TestApp.h"
#include "tools/scan/ScanCommand.h"

inline void WriteFile(const QString& path, int bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(bytes, 'x'));
}

inline QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

const char* const kDirs = "C:\r\nC:\\A\r\nC:\\A\\B\r\nC:\\Z\r\n";
const char* const kSizes = "200\r\n150\r\n50\r\n10\r\n";
const char* const kPercents = "0\r\n75\r\n33.3333320617676\r\n5\r\n";

// Drive C: is a temporary tree (40 bytes at its root, A with 100, A\B with
// 50, Z with 10), drive D: an empty temporary folder; the result files go to
// a temporary data folder. Every question is answered by the test.
class ScanEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        TestApp();
        ASSERT_TRUE(c_.isValid() && d_.isValid() && data_.isValid());
        oldXdg_ = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", data_.path().toLocal8Bit());
        table_ = std::make_unique<TScopedDriveTable>(
            TDriveTable({{'C', c_.path().toStdString()}, {'D', d_.path().toStdString()}}));
        WriteFile(c_.path() + "/top.txt", 40);
        WriteFile(c_.path() + "/A/a.bin", 100);
        WriteFile(c_.path() + "/A/B/b.bin", 50);
        WriteFile(c_.path() + "/Z/z.bin", 10);
    }

    void TearDown() override {
        host_.reset();
        qputenv("XDG_DATA_HOME", oldXdg_);
    }

    QString Result(const char* name) const { return data_.path() + "/cobaltquarry/" + name; }

    // A new window, as at a program start; answers every question with yes.
    TScanHost& Start(bool yes = true) {
        host_ = std::make_unique<TScanHost>();
        Answer(yes);
        gate_.Install(*host_->scan);
        return *host_;
    }

    void Answer(bool yes) {
        host_->scan->SetAsker([this, yes](const QString& text) {
            asked_ << text;
            return yes;
        });
        host_->scan->SetTeller([this](const QString& text) { told_ << text; });
    }

    // The scan's end and the end of its save, which runs behind.
    bool WaitForScanEnd() {
        return WaitUntil([this] { return !host_->scan->Scanning() && !host_->scan->Saving(); });
    }
    bool WaitForScanEntered() {
        return WaitUntil([this] { return gate_.entered.load(); });
    }

    void ExpectStoredAsFirstScanned() {
        EXPECT_EQ(ReadAll(Result("CDirs")), kDirs);
        EXPECT_EQ(ReadAll(Result("CDirSizes")), kSizes);
        EXPECT_EQ(ReadAll(Result("CPercents")), kPercents);
    }

    // The first start: asked, answered yes, scanned to the end.
    void AnalyseFirstTime() {
        TScanHost& host = Start();
        gate_.released = true;
        host.show();
        ASSERT_TRUE(WaitForScanEnd());
        asked_.clear();
    }

    QTemporaryDir c_, d_, data_;
    QByteArray oldXdg_;
    std::unique_ptr<TScopedDriveTable> table_;
    std::unique_ptr<TScanHost> host_;
    TScanGate gate_;
    QStringList asked_;
    QStringList told_;
};
