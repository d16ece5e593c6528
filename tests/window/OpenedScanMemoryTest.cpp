// A scan file larger than the memory the program may take is refused with
// a message, as a damaged one is, instead of ending the program from the
// thread that reads it. Runs in a child process with a bounded address
// space (RLIMIT_AS).
#include <gtest/gtest.h>

#include <QString>
#include <QTemporaryDir>
#include <cstdio>
#include <fstream>

#include "app/main/OpenedScan.h"
#include "tests/platform/BoundedMemory.h"
#include "tests/window/WindowFixture.h"

namespace {

// The child: the window's application, memory bounded, the file opened.
[[noreturn]] void OpenWithBoundedMemory(const std::string& file) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    WindowTestApp();
    BoundAddressSpace(std::uint64_t{96} << 20);
    TOpenedScan opened;
    QString error;
    if (opened.Open(QString::fromStdString(file), nullptr, error))
        _exit(3);
    std::fprintf(stderr, "%s\n", error.toUtf8().constData());
    _exit(error.contains("larger than the memory") ? 0 : 4);
}

}  // namespace

TEST(OpenedScanMemory, AScanLargerThanMemoryIsRefusedWithAMessage) {
#ifdef CQ_UNDER_ASAN
    GTEST_SKIP() << "the address sanitizer's allocator ends the process when memory is bounded";
#endif
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // 3 000 000 files in one folder: some hundreds of MiB once read.
    const std::string file = dir.filePath("large.json").toStdString();
    {
        std::ofstream out(file);
        out << R"([1,2,{"progname":"x","progver":"1","timestamp":1},[{"name":"/r"})";
        for (int i = 0; i < 3000000; ++i)
            out << R"(,{"name":"f)" << i << R"(","asize":1})";
        out << "]]";
    }
    EXPECT_EXIT(OpenWithBoundedMemory(file), ::testing::ExitedWithCode(0),
                "large.json: the scan is larger than the memory");
}
