// A stored set larger than the memory the program may take is refused with
// a message at every start, by the window's own load and by the load behind
// the start-up picture, instead of ending the program. Each case runs in a
// child process whose address space is bounded (RLIMIT_AS).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "engine/ResultStore.h"
#include "engine/StoredSetPreload.h"
#include "tests/platform/BoundedMemory.h"
#include "tests/platform/TempDir.h"

TEST(OutOfMemory, AStoredSetLargerThanMemoryIsRefusedWithAMessage) {
#ifdef CQ_UNDER_ASAN
    GTEST_SKIP() << "the address sanitizer's allocator ends the process when memory is bounded";
#endif
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    TTempDir dir;
    const std::string data = dir / "data/";
    std::filesystem::create_directories(data);
    chmod(data.c_str(), 0700);
    for (const char* name : {"CDirSizes", "CPercents"})
        std::ofstream(data + name) << "0\r\n";
    std::ofstream(data + "CDirs") << "C:\r\n";
    // 2 GiB of folder list, sparse: reading it needs a buffer of its size.
    std::filesystem::resize_file(data + "CDirs", std::uintmax_t{2} << 30);
    EXPECT_EXIT(
        {
            BoundAddressSpace(std::uint64_t{512} << 20);
            {
                TStoredSetPreload preload(data, "C:");
                if (preload.Loaded() != nullptr)
                    _exit(3);
            }
            TResultStore store(data);
            store.SetFiles("C:");
            if (store.LoadGlobal() || store.LoadNotice.find("CDirs") == std::string::npos)
                _exit(4);
            std::fprintf(stderr, "%s\n", store.LoadNotice.c_str());
            _exit(0);
        },
        ::testing::ExitedWithCode(0), "Cannot allocate memory");
}
