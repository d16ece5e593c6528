#include <gtest/gtest.h>

#include <random>

#include "engine/DirAggregate.h"
#include "engine/DirOrder.h"

namespace {

struct Lists {
    TStringList Dirs, Sizes, Percents;
    TDirIndex Index;
};

Lists Make(const std::vector<std::pair<std::string, std::string>>& entries) {
    Lists l;
    for (const auto& e : entries) {
        l.Dirs.push_back(e.first);
        l.Sizes.push_back(e.second);
        l.Percents.push_back("0");
    }
    std::atomic<bool> cancel{false};
    SortDirLists(l.Dirs, l.Sizes, l.Percents, cancel);
    BuildDirIndex(l.Dirs, l.Index);
    return l;
}

// Runs the fast forms (or, with plain set, the reference) over the lists.
void Analyse(Lists& l, bool plain = false) {
    std::atomic<bool> cancel{false};
    if (plain) {
        AggregateSizesPlain(l.Dirs, l.Sizes, l.Index, cancel);
        ComputePercentsPlain(l.Dirs, l.Sizes, l.Percents, l.Index);
    } else {
        AggregateSizes(l.Dirs, l.Sizes, l.Index, cancel);
        ComputePercents(l.Dirs, l.Sizes, l.Percents, l.Index);
    }
}

std::string At(const Lists& l, const TStringList& list, const std::string& dir) {
    for (size_t i = 0; i < l.Dirs.size(); ++i)
        if (l.Dirs[i] == dir)
            return std::string(list[i]);
    return "<missing>";
}

}  // namespace

// The cases worth checking one by one, through both forms.
class AggregateExamples : public ::testing::TestWithParam<bool> {};

TEST_P(AggregateExamples, DriveRootHoldsEverything) {
    Lists l = Make({{"C:\\B", "30"}, {"C:", "10"}, {"C:\\A", "20"}, {"C:\\A\\X", "40"}});
    Analyse(l, GetParam());
    EXPECT_EQ(l.Dirs[0], "C:");
    EXPECT_EQ(l.Sizes[0], "100");
    EXPECT_EQ(l.Percents[0], "0");
    EXPECT_EQ(At(l, l.Sizes, "C:\\A"), "60");
    EXPECT_EQ(At(l, l.Percents, "C:\\A"), "60");
    EXPECT_EQ(At(l, l.Percents, "C:\\A\\X"), "66.6666641235352");
}

TEST_P(AggregateExamples, EmptyFoldersAndWholeParents) {
    Lists l = Make({{"C:\\P", "0"},
                    {"C:\\P\\Only", "0"},
                    {"C:\\P\\Only\\Deep", "500"},
                    {"C:\\Z", "0"},
                    {"C:\\Z\\Empty", "0"},
                    {"C:\\Q", "10"},
                    {"C:\\Q\\Empty", "0"}});
    Analyse(l, GetParam());
    // Holding all of a parent with no files of its own: 100.
    EXPECT_EQ(At(l, l.Percents, "C:\\P\\Only"), "100");
    EXPECT_EQ(At(l, l.Percents, "C:\\P\\Only\\Deep"), "100");
    // Zero of a parent above zero: 0; zero of a zero parent: stays 0.
    EXPECT_EQ(At(l, l.Percents, "C:\\Q\\Empty"), "0");
    EXPECT_EQ(At(l, l.Percents, "C:\\Z\\Empty"), "0");
    EXPECT_EQ(At(l, l.Sizes, "C:\\Z"), "0");
}

TEST_P(AggregateExamples, NamesSortingBetweenAFolderAndItsSubfolders) {
    Lists l = Make({{"C:\\A", "1"}, {"C:\\A B", "1000"}, {"C:\\A\\X", "10"}, {"C:\\A!", "7"}});
    ASSERT_EQ(l.Dirs, (TStringList{"C:\\A", "C:\\A B", "C:\\A!", "C:\\A\\X"}));
    Analyse(l, GetParam());
    EXPECT_EQ(At(l, l.Sizes, "C:\\A"), "11");
    EXPECT_EQ(At(l, l.Sizes, "C:\\A B"), "1000");
    EXPECT_EQ(At(l, l.Percents, "C:\\A\\X"), "90.9090881347656");
    EXPECT_EQ(At(l, l.Percents, "C:\\A B"), "0");
}

TEST_P(AggregateExamples, CaseTwinsStayApart) {
    Lists l = Make({{"C:\\Data", "1"}, {"C:\\data", "2"}, {"C:\\data\\x", "4"}});
    Analyse(l, GetParam());
    EXPECT_EQ(At(l, l.Sizes, "C:\\Data"), "1");
    EXPECT_EQ(At(l, l.Sizes, "C:\\data"), "6");
}

TEST_P(AggregateExamples, StartFolderBelowTheRoot) {
    Lists l = Make({{"C:\\Data\\b", "1"}, {"C:\\Data", "1"}, {"C:\\Data\\a", "2"}});
    Analyse(l, GetParam());
    EXPECT_EQ(l.Dirs[0], "C:\\Data");
    EXPECT_EQ(l.Sizes[0], "4");
    EXPECT_EQ(l.Percents[0], "0");
    EXPECT_EQ(At(l, l.Percents, "C:\\Data\\a"), "50");
    EXPECT_EQ(At(l, l.Percents, "C:\\Data\\b"), "25");
}

TEST_P(AggregateExamples, MalformedSizesCountAsZeroAndAreSkipped) {
    Lists l = Make({{"C:\\A", "oops"}, {"C:\\A\\B", "12x"}, {"C:\\A\\C", "8"}});
    Analyse(l, GetParam());
    EXPECT_EQ(At(l, l.Sizes, "C:\\A"), "8");
    EXPECT_EQ(At(l, l.Sizes, "C:\\A\\B"), "0");
    EXPECT_EQ(At(l, l.Percents, "C:\\A\\C"), "100");
}

TEST_P(AggregateExamples, TheMostNegativeSizeWrapsWithoutUndefinedNegation) {
    // Sizes wrap like 64-bit integers; the fast form subtracts prefix sums,
    // and a negated INT64_MIN is undefined (the sanitizer build stops there).
    Lists l = Make({{"C:", "-9223372036854775808"}, {"C:\\A", "1"}, {"C:\\A\\B", "2"}});
    Analyse(l, GetParam());
    EXPECT_EQ(At(l, l.Sizes, "C:"), "-9223372036854775805");
    EXPECT_EQ(At(l, l.Sizes, "C:\\A"), "3");
    EXPECT_EQ(At(l, l.Percents, "C:\\A\\B"), "66.6666641235352");
}

INSTANTIATE_TEST_SUITE_P(PlainAndFast, AggregateExamples, ::testing::Bool());

TEST(Aggregate, FastFormCoversScanListsOnly) {
    Lists good = Make({{"C:", "1"}, {"C:\\A", "2"}});
    EXPECT_TRUE(FastFormApplies(good.Dirs, good.Index));
    Lists shortPath = Make({{"C:\\", "1"}, {"C:\\A", "2"}});
    EXPECT_FALSE(FastFormApplies(shortPath.Dirs, shortPath.Index));
    TStringList unsorted = {"C:\\B", "C:\\A"};
    TDirIndex index;
    BuildDirIndex(unsorted, index);
    EXPECT_FALSE(FastFormApplies(unsorted, index));
}

TEST(Aggregate, CancelStopsTheAggregation) {
    Lists l = Make({{"C:", "1"}, {"C:\\A", "2"}, {"C:\\A\\B", "3"}});
    std::atomic<bool> cancel{true};
    EXPECT_FALSE(AggregateSizes(l.Dirs, l.Sizes, l.Index, cancel));
    EXPECT_FALSE(AggregateSizesPlain(l.Dirs, l.Sizes, l.Index, cancel));
}

namespace {

// Random lists of the kinds a scan produces and a few it should not:
// duplicate paths (two filter parts), names that sort between a folder and
// its subfolders, case twins, zero, negative, huge and malformed sizes,
// several drive roots, unrelated drives.
Lists RandomLists(std::mt19937& rng, int maxFolders) {
    static const char* kNames[] = {"A",    "A B",   "A!", "a", "B",     "Data",
                                   "data", "A\xe9", "A0", "x", "A B C", "%5C"};
    static const char* kSizes[] = {
        "0", "1", "7", "1000", "4096", "123456789", "-3", "abc", "", "12x", "9223372036854775807"};
    auto pick = [&](int n) { return static_cast<int>(rng() % n); };
    std::vector<std::string> folders;
    const std::string drive = pick(4) == 0 ? "D:" : "C:";
    const bool fromRoot = pick(3) != 0;
    const std::string start = fromRoot ? drive : drive + "\\Start";
    folders.push_back(start);
    const int count = 1 + pick(maxFolders);
    for (int i = 0; i < count; ++i) {
        const std::string& parent = folders[pick(static_cast<int>(folders.size()))];
        folders.push_back(parent + "\\" + kNames[pick(12)]);
    }
    if (pick(5) == 0)
        folders.push_back(pick(2) ? "E:" : "E:\\Other");
    const int parts = pick(4) == 0 ? 2 : 1;
    std::vector<std::pair<std::string, std::string>> entries;
    for (const std::string& f : folders)
        for (int p = 0; p < parts; ++p)
            entries.push_back({f, pick(4) == 0 ? "0" : kSizes[pick(11)]});
    std::shuffle(entries.begin(), entries.end(), rng);
    Lists l = Make(entries);
    // Now and then percentages that are not "0" to begin with, to see that
    // both forms leave the same entries unwritten.
    if (pick(4) == 0)
        for (std::size_t i = 0; i < l.Percents.size(); ++i)
            l.Percents.Set(i, pick(2) ? "0" : "old");
    return l;
}

}  // namespace

TEST(Aggregate, FastFormEqualsTheCandidateScanOnRandomLists) {
    std::mt19937 rng(20240601);
    int fastCovered = 0;
    for (int round = 0; round < 3000; ++round) {
        Lists plain = RandomLists(rng, round % 10 == 0 ? 400 : 25);
        Lists fast = plain;
        Lists both = plain;
        fastCovered += FastFormApplies(fast.Dirs, fast.Index);
        Analyse(plain, true);
        Analyse(fast, false);
        std::atomic<bool> cancel{false};
        ASSERT_TRUE(
            AggregateSizesAndPercents(both.Dirs, both.Sizes, both.Percents, both.Index, cancel));
        ASSERT_EQ(both.Sizes, plain.Sizes) << "round " << round;
        ASSERT_EQ(both.Percents, plain.Percents) << "round " << round;
        ASSERT_EQ(both.Index.First, plain.Index.First) << "round " << round;
        ASSERT_EQ(fast.Dirs, plain.Dirs) << "round " << round;
        ASSERT_EQ(fast.Sizes, plain.Sizes) << "round " << round;
        ASSERT_EQ(fast.Percents, plain.Percents) << "round " << round;
        ASSERT_EQ(fast.Index.First, plain.Index.First) << "round " << round;
        ASSERT_EQ(fast.Index.Last, plain.Index.Last) << "round " << round;
    }
    // The comparison is only worth something if the fast form ran.
    EXPECT_GT(fastCovered, 2900);
}
