#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "engine/DirAggregate.h"
#include "engine/DirOrder.h"
#include "engine/FolderTree.h"

namespace {

// A random walk's tree: uneven fan-out, sibling names that are case twins,
// prefixes of each other or sort between a folder and its subfolders;
// own sizes of 0, small, huge (so that totals wrap) and unlisted leaves
// (roots of other mounts).
TFolderTree RandomTree(std::mt19937& rng, int maxFolders, int minFolders = 1) {
    static const char* kNames[] = {"A",     "A B", "A!", "a",     "B",   "Data", "data",
                                   "A\xe9", "A0",  "x",  "A B C", "%5C", "A[",   "Z"};
    static const std::int64_t kSizes[] = {
        0, 0, 1, 7, 4096, 123456789, 9223372036854775807, 4611686018427387904};
    auto pick = [&](size_t n) { return rng() % n; };
    TFolderTree tree;
    tree.Reset(pick(3) == 0 ? "C:\\Start" : "C:", 1);
    const size_t target =
        static_cast<size_t>(minFolders) + pick(static_cast<size_t>(maxFolders - minFolders + 1));
    for (std::uint32_t parent = 0; parent < tree.Nodes.size(); ++parent) {
        std::int64_t own = kSizes[pick(8)];
        if (parent != 0 && pick(12) == 0)
            continue;  // not entered: no entry, no children
        tree.SetListed(parent, &own);
        if (tree.Nodes.size() >= target)
            continue;
        std::vector<std::string> names;
        for (const char* n : kNames)
            if (pick(5) == 0)
                names.push_back(n);
        std::shuffle(names.begin(), names.end(), rng);
        if (!names.empty())
            tree.AddChildren(parent, names);
    }
    return tree;
}

}  // namespace

// Totals and shares computed on the tree are exactly what the aggregation
// of the lists gives, text for text; a few trees are large enough for the
// texts to be made on a second thread while the tree is walked.
TEST(FolderTree, TotalsOnTheTreeEqualTheAggregatedLists) {
    std::mt19937 rng(77);
    std::atomic<bool> cancel{false};
    size_t nonZeroShares = 0;
    for (int round = 0; round < 2000; ++round) {
        const TFolderTree tree = round % 500 == 499 ? RandomTree(rng, 150000, 100000)
                                                    : RandomTree(rng, round % 20 == 0 ? 3000 : 40);
        TStringList dirs, sizes, percents;
        ASSERT_TRUE(tree.EmitSorted(dirs, sizes, percents, cancel));
        TDirIndex index;
        BuildDirIndex(dirs, index);
        ASSERT_TRUE(AggregateSizesAndPercents(dirs, sizes, percents, index, cancel));
        TStringList treeDirs, treeSizes, treePercents;
        TDirIndex madeIndex;
        ASSERT_TRUE(tree.EmitSorted(treeDirs, treeSizes, treePercents, cancel, true, &madeIndex));
        ASSERT_EQ(treeDirs, dirs) << "round " << round;
        TDirIndex builtIndex;
        BuildDirIndex(treeDirs, builtIndex);
        ASSERT_EQ(madeIndex.First, builtIndex.First) << "round " << round;
        ASSERT_EQ(madeIndex.Last, builtIndex.Last) << "round " << round;
        ASSERT_EQ(treeSizes, sizes) << "round " << round;
        ASSERT_EQ(treePercents, percents) << "round " << round;
        nonZeroShares += std::count_if(percents.begin(), percents.end(),
                                       [](std::string_view p) { return p != "0"; });
    }
    // The comparison is only worth something if shares were computed.
    EXPECT_GT(nonZeroShares, 10000u);
}
