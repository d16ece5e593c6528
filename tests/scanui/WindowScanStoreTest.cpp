// A drive scanned in the window stores exactly what the command-line scanner
// stores for the same drive: the three result lists, every extra file (the
// allocated bytes, the Discover data) and the manifest that sums them. The
// two paths hand their lists over differently (a queued hand-off from the
// scan thread against a direct call), so a list lost in one of them shows
// here and nowhere else.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <map>
#include <sstream>

#include "engine/DiscoverSink.h"
#include "platform/DriveTable.h"
#include "tests/scanui/ScanHost.h"
#include "tests/scanui/TestApp.h"
#include "tools/scan/ScanCommand.h"

namespace {

void WriteStoreFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Every file of a data folder by name, with its bytes.
std::map<QString, QByteArray> Files(const QString& folder) {
    std::map<QString, QByteArray> files;
    for (const QFileInfo& info : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden)) {
        QFile file(info.filePath());
        if (file.open(QIODevice::ReadOnly))
            files[info.fileName()] = file.readAll();
    }
    return files;
}

class ScopedXdgData {
  public:
    explicit ScopedXdgData(const QString& path) : old_(qgetenv("XDG_DATA_HOME")) {
        qputenv("XDG_DATA_HOME", path.toLocal8Bit());
    }
    ~ScopedXdgData() { qputenv("XDG_DATA_HOME", old_); }

  private:
    QByteArray old_;
};

}  // namespace

TEST(WindowScanStore, ADriveScannedInTheWindowStoresWhatTheScannerStores) {
    TestApp();
    QTemporaryDir drive, windowData, scannerData;
    ASSERT_TRUE(drive.isValid() && windowData.isValid() && scannerData.isValid());
    TScopedDriveTable table(TDriveTable({{'C', drive.path().toStdString()}}));
    // The two scans start at one time, which the old files count from.
    const auto clock = TDiscoverSink::Clock;
    TDiscoverSink::Clock = [] { return std::int64_t{1800000000}; };
    // Sizes that are not whole blocks, a sparse file, types and nesting, so
    // that the allocated bytes differ from the sizes and Discover has rows.
    WriteStoreFile(drive.path() + "/top.txt", QByteArray(40, 'x'));
    WriteStoreFile(drive.path() + "/A/a.bin", QByteArray(10000, 'a'));
    WriteStoreFile(drive.path() + "/A/B/b.jpg", QByteArray(5000, 'b'));
    WriteStoreFile(drive.path() + "/A/B/c.JPG", QByteArray(7, 'c'));
    WriteStoreFile(drive.path() + "/Z/z", QByteArray(1, 'z'));
    {
        QFile sparse(drive.path() + "/Z/sparse.img");
        ASSERT_TRUE(sparse.open(QIODevice::WriteOnly));
        ASSERT_TRUE(sparse.resize(1 << 20));
    }

    {
        ScopedXdgData xdg(windowData.path());
        TScanHost host;
        host.scan->SetAsker([](const QString&) { return true; });
        host.scan->SetTeller([](const QString&) {});
        host.show();
        ASSERT_TRUE(WaitUntil([&] { return !host.scan->Scanning() && !host.scan->Saving(); }));
    }
    {
        ScopedXdgData xdg(scannerData.path());
        std::ostringstream out, err;
        TScanCommand command;
        ASSERT_EQ(command.Run({"--save", "C:\\"}, out, err), 0) << err.str();
    }

    TDiscoverSink::Clock = clock;
    const auto window = Files(windowData.path() + "/cobaltquarry");
    const auto scanner = Files(scannerData.path() + "/cobaltquarry");
    ASSERT_TRUE(scanner.count("CDiskSizes") && scanner.count("CDiscover"));
    std::vector<QString> names, windowNames;
    for (const auto& [name, bytes] : scanner)
        names.push_back(name);
    for (const auto& [name, bytes] : window)
        windowNames.push_back(name);
    EXPECT_EQ(windowNames, names);
    for (const auto& [name, bytes] : scanner) {
        const auto found = window.find(name);
        if (found != window.end()) {
            EXPECT_EQ(found->second.toStdString(), bytes.toStdString()) << name.toStdString();
        }
    }
}
