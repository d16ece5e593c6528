// Memory running out on a helper thread of a scan's walk or of an export
// (a walking thread, a lister) ends the run with a message and the failure
// status, never with an abort; so does a failure of the walk's calling
// thread while its helpers walk. The allocations of every thread but the
// test's own fail on demand, in a child process, so that the failure lands
// on a helper every time.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <sstream>
#include <string>
#include <thread>

#include "engine/ExportOutput.h"
#include "engine/NcduExport.h"
#include "engine/TreeWalk.h"
#include "platform/DriveTable.h"
#include "tests/platform/TempDir.h"
#include "tools/scan/ScanCommand.h"

namespace {

// While set, every allocation of a thread other than gOnlyThread fails.
std::atomic<bool> gOthersFail{false};
std::thread::id gOnlyThread;

void OnlyThisThreadAllocates() {
    gOnlyThread = std::this_thread::get_id();
    gOthersFail = true;
}

}  // namespace

// Every plain form is replaced, so that none pairs with another's release
// (a sanitizer's own allocator takes the forms left alone, the aligned ones).
namespace {

void* Allocate(std::size_t size) noexcept {
    if (gOthersFail.load(std::memory_order_relaxed) && std::this_thread::get_id() != gOnlyThread)
        return nullptr;
    return std::malloc(size == 0 ? 1 : size);
}

}  // namespace

void* operator new(std::size_t size) {
    if (void* p = Allocate(size))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}

namespace {

// 200 folders with a few files each: enough that helpers take some.
class HelperFailure : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int i = 0; i < 200; ++i) {
            const std::string folder = "folder " + std::to_string(i);
            dir.MakeDir(folder);
            for (const char* file : {"a.bin", "b.txt"})
                dir.MakeFile(folder + "/" + file, 100 + i);
        }
        // Forked as it is: no thread runs yet, and the child sees this tree.
        GTEST_FLAG_SET(death_test_style, "fast");
    }

    TTempDir dir;
};

// The child's part of each case: the run with only this thread allocating,
// its message on standard error, and 0 as the status when it failed so.
[[noreturn]] void ScanFailing(const std::string& folder) {
    setenv("COBALTQUARRY_WALK_THREADS", "4", 1);
    TScanCommand command;
    std::ostringstream out, err;
    OnlyThisThreadAllocates();
    const int status = command.Run({folder}, out, err);
    gOthersFail = false;
    std::fprintf(stderr, "%s", err.str().c_str());
    _exit(status == TScanExit::kFailed ? 0 : 3);
}

[[noreturn]] void ExportFailing(const std::string& folder, const std::string& file) {
    TExportOutput out;
    std::string error;
    if (!out.Open(file, error))
        _exit(3);
    TExportSettings settings;
    settings.NativeRoot = folder;
    settings.Threads = 4;
    OnlyThisThreadAllocates();
    const bool written = ExportNcdu(settings, out, error);
    gOthersFail = false;
    std::fprintf(stderr, "%s\n", error.c_str());
    _exit(written ? 4 : 0);
}

TEST_F(HelperFailure, AScanWhoseWalkingThreadsRunOutOfMemoryFailsWithAMessage) {
    EXPECT_EXIT(ScanFailing(dir.Path()), ::testing::ExitedWithCode(0),
                ": cannot be scanned: there is not enough memory");
}

TEST_F(HelperFailure, AnExportWhoseListersRunOutOfMemoryFailsWithAMessage) {
    EXPECT_EXIT(ExportFailing(dir.Path(), dir / "out.json"), ::testing::ExitedWithCode(0),
                ": cannot be exported: there is not enough memory");
}

// A sink that fails with its first file, or (the calling thread's) takes a
// while with each, so that the other threads get folders meanwhile.
class TFailingSink : public TFileSink {
  public:
    explicit TFailingSink(bool fails) : fails_(fails) {}
    void File(const TWalkFile&) override {
        if (fails_)
            throw std::bad_alloc();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    void Merge(TFileSink&) override {}

  private:
    bool fails_;
};

// The failure of a helper, and that of the calling thread while the helpers
// walk, reach the walk's caller once every thread has ended.
TEST_F(HelperFailure, AWalkingThreadsExceptionIsThrownToTheWalksCaller) {
    const TScopedDriveTable table(TDriveTable({TDrive{'T', dir.Path()}}));
    for (const bool callerFails : {false, true}) {
        int made = 0;
        TWalkSettings s;
        s.Directory = "T:\\";
        s.Patterns = {"*"};
        s.Mask = 0xFFFFFFFFu;
        s.Recurse = true;
        s.Threads = 4;
        // The first sink is the calling thread's.
        s.MakeSink = [&] {
            const bool caller = made++ == 0;
            return std::make_unique<TFailingSink>(caller == callerFails);
        };
        TFolderTree tree;
        bool abort = false;
        EXPECT_THROW(WalkFolders(s, tree, abort), std::bad_alloc) << callerFails;
    }
}

}  // namespace
