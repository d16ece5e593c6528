#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <random>
#include <thread>

#include "engine/DirOrder.h"

TEST(DirOrder, ComparisonRules) {
    // A drive root compares as "A": before everything of its drive.
    EXPECT_LT(CompareDirs("C:", "C:\\A"), 0);
    EXPECT_LT(CompareDirs("C:", "A:\\"), 0);
    EXPECT_EQ(CompareDirs("C:", "D:"), 0);
    // A text before its extensions; bytes unsigned, case-sensitive.
    EXPECT_LT(CompareDirs("C:\\A", "C:\\A B"), 0);
    EXPECT_LT(CompareDirs("C:\\A B", "C:\\A\\X"), 0);
    EXPECT_LT(CompareDirs("C:\\Data", "C:\\data"), 0);
    EXPECT_LT(CompareDirs("C:\\z", "C:\\\xe9"), 0);
    EXPECT_EQ(CompareDirs("C:\\x", "C:\\x"), 0);
    EXPECT_GT(CompareDirs("C:\\x\\y", "C:\\x"), 0);
}

TEST(DirOrder, SortKeepsListsParallelAndOrdersFoldersFirst) {
    TStringList dirs = {"C:\\b", "C:\\A\\X", "C:", "C:\\A B", "C:\\A", "C:\\a", "C:\\A\\X\\1"};
    TStringList sizes, percents;
    for (size_t i = 0; i < dirs.size(); ++i) {
        sizes.push_back(std::to_string(i));
        percents.push_back("p" + std::to_string(i));
    }
    const TStringList before = dirs;
    std::atomic<bool> cancel{false};
    ASSERT_TRUE(SortDirLists(dirs, sizes, percents, cancel));
    EXPECT_EQ(dirs,
              (TStringList{"C:", "C:\\A", "C:\\A B", "C:\\A\\X", "C:\\A\\X\\1", "C:\\a", "C:\\b"}));
    for (size_t i = 0; i < dirs.size(); ++i) {
        const size_t from = std::stoul(std::string(sizes[i]));
        EXPECT_EQ(before[from], dirs[i]);
        EXPECT_EQ(percents[i], "p" + std::string(sizes[i]));
    }
}

TEST(DirOrder, SortOfEqualPathsIsRepeatable) {
    std::mt19937 rng(7);
    TStringList dirs, sizes, percents;
    for (int i = 0; i < 500; ++i) {
        dirs.push_back("C:\\" + std::to_string(rng() % 40));
        sizes.push_back(std::to_string(i));
        percents.push_back("0");
    }
    TStringList d2 = dirs, s2 = sizes, p2 = percents;
    std::atomic<bool> cancel{false};
    SortDirLists(dirs, sizes, percents, cancel);
    SortDirLists(d2, s2, p2, cancel);
    EXPECT_TRUE(std::is_sorted(dirs.begin(), dirs.end(),
                               [](const auto& a, const auto& b) { return CompareDirs(a, b) < 0; }));
    EXPECT_EQ(sizes, s2);
}

TEST(DirOrder, CancelStopsASortUnderWayPromptly) {
    TStringList dirs, sizes, percents;
    std::mt19937 rng(3);
    for (int i = 0; i < 1'000'000; ++i) {
        dirs.push_back("C:\\folder " + std::to_string(rng()) + "\\sub");
        sizes.push_back(std::to_string(i));
        percents.push_back("0");
    }
    const TStringList before = dirs;
    std::atomic<bool> cancel{false};
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        cancel = true;
    });
    const bool done = SortDirLists(dirs, sizes, percents, cancel);
    stopper.join();
    EXPECT_FALSE(done);
    // It stopped part way instead of finishing the sort first (no clock is
    // read here: a loaded machine must not turn this into a failure).
    EXPECT_FALSE(std::is_sorted(dirs.begin(), dirs.end()));
    // Still parallel: every size names the entry it came with.
    for (size_t i = 0; i < dirs.size(); i += 997)
        EXPECT_EQ(before[std::stoul(std::string(sizes[i]))], dirs[i]);
}

TEST(DirOrder, CancelBeforeTheSortLeavesListsAlone) {
    TStringList dirs = {"C:\\b", "C:\\a"}, sizes = {"1", "2"}, percents = {"0", "0"};
    std::atomic<bool> cancel{true};
    EXPECT_FALSE(SortDirLists(dirs, sizes, percents, cancel));
    EXPECT_EQ(dirs, (TStringList{"C:\\b", "C:\\a"}));
}

TEST(DirOrder, IndexOfFirstLetters) {
    const TStringList dirs = {"C:", "C:\\A", "C:\\A\\B", "C:\\Bx", "C:\\b", "C:\\\xe9t"};
    TDirIndex index;
    BuildDirIndex(dirs, index);
    EXPECT_EQ(index.First[0], 0);
    EXPECT_EQ(index.Last[0], 0);
    EXPECT_EQ(index.First['A'], 1);
    EXPECT_EQ(index.Last['A'], 2);
    EXPECT_EQ(index.First['B'], 3);
    EXPECT_EQ(index.Last['B'], 3);
    EXPECT_EQ(index.First['b'], 4);
    EXPECT_EQ(index.First[0xE9], 5);
    // A key without entries keeps First above Last.
    EXPECT_EQ(index.First['Z'], 6);
    EXPECT_EQ(index.Last['Z'], 0);
    EXPECT_EQ(DirKey("C:\\Windows"), 'W');
    EXPECT_EQ(DirKey("C:"), 0);
    EXPECT_EQ(DirKey("C:\\"), 0);
}
