#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "engine/ResultStore.h"
#include "engine/ResultStoreIndex.h"

namespace {

// Drive C as stored: note the case twins "Data" and "data".
TResultStore StoredDriveC() {
    TResultStore store("");
    store.GlobalDirs = {"C:",          "C:\\Data",  "C:\\Data\\new", "C:\\Data\\old",
                        "C:\\Data\\x", "C:\\Other", "C:\\data"};
    store.GlobalDirSizes = {"1000", "600", "0", "100", "500", "300", "100"};
    store.GlobalPercents = {"0", "60", "0", "16.6", "83.3", "30", "10"};
    return store;
}

// The rescan of C:\Data: "old" is gone, "new" was created, "x" shrank.
const TStringList kRescanDirs = {"C:\\Data", "C:\\Data\\brand new", "C:\\Data\\new", "C:\\Data\\x"};
const TStringList kRescanSizes = {"900", "200", "300", "400"};
const TStringList kRescanPercents = {"0", "22.2", "33.3", "44.4"};

// The merge as a plain first-match search from the first entry.
void PlainMerge(TResultStore& store, const TStringList& dirs, const TStringList& sizes,
                const TStringList& percents) {
    for (std::size_t k = 0; k < dirs.size(); ++k) {
        for (std::size_t m = 0; m < store.GlobalDirs.size(); ++m) {
            if (TResultStoreIndex::ComparePaths(store.GlobalDirs[m], dirs[k]) == 0) {
                if (k < sizes.size() && m < store.GlobalDirSizes.size()) {
                    store.GlobalDirSizes[m] = sizes[k];
                }
                if (k > 0 && k < percents.size() && m < store.GlobalPercents.size()) {
                    store.GlobalPercents[m] = percents[k];
                }
                break;
            }
        }
    }
}

}  // namespace

TEST(AppendAnalizeInfo, UpdatesTheRescannedFoldersOnly) {
    TResultStore store = StoredDriveC();
    store.AppendAnalizeInfo(kRescanDirs, kRescanSizes, kRescanPercents);
    // No folder added, none removed, the order kept.
    EXPECT_EQ(StoredDriveC().GlobalDirs, store.GlobalDirs);
    // Sizes of the rescanned folder and those below it are new; the drive
    // root (an ancestor), "Other" and the case twin "data" are untouched, and
    // "old", gone since, keeps its stored numbers.
    EXPECT_EQ((TStringList{"1000", "900", "300", "100", "400", "300", "100"}),
              store.GlobalDirSizes);
    // The rescanned folder keeps its stored share of its parent.
    EXPECT_EQ((TStringList{"0", "60", "33.3", "16.6", "44.4", "30", "10"}), store.GlobalPercents);
}

TEST(AppendAnalizeInfo, MatchesNamesExactlyButDriveLettersInAnyCase) {
    TResultStore store = StoredDriveC();
    store.AppendAnalizeInfo({"C:\\DATA", "c:\\Data\\x"}, {"1", "2"}, {"0", "3"});
    // "C:\DATA" is no stored folder; "c:\Data\x" is C:\Data\x.
    EXPECT_EQ((TStringList{"1000", "600", "0", "100", "2", "300", "100"}), store.GlobalDirSizes);
    EXPECT_EQ("3", store.GlobalPercents[4]);
}

TEST(AppendAnalizeInfo, DoesNothingToEmptyListsAndNeverWritesPastAShortList) {
    TResultStore empty("");
    empty.FreeSLs();
    empty.AppendAnalizeInfo(kRescanDirs, kRescanSizes, kRescanPercents);
    EXPECT_TRUE(empty.GlobalSLSEmpty());

    TResultStore store = StoredDriveC();
    store.GlobalDirSizes.resize(3);
    store.GlobalPercents.resize(1);
    // The rescan's own lists may be short too.
    store.AppendAnalizeInfo(kRescanDirs, {"900", "200", "300"}, {"0", "1"});
    EXPECT_EQ((TStringList{"1000", "900", "300"}), store.GlobalDirSizes);
    EXPECT_EQ(TStringList{"0"}, store.GlobalPercents);
}

TEST(AppendAnalizeInfo, LetsTheCallerProcessEventsAfterEachFolder) {
    TResultStore store = StoredDriveC();
    int calls = 0;
    store.AppendAnalizeInfo(kRescanDirs, kRescanSizes, kRescanPercents, [&] { ++calls; });
    EXPECT_EQ(4, calls);
}

TEST(AppendAnalizeInfo, EqualsTheFirstMatchSearchOnRandomLists) {
    std::mt19937 random(11);
    // Few distinct names, so there are duplicates, case twins and drive
    // letters in both cases; some stored lists are sorted, some not.
    const char* names[] = {"C:",    "c:", "C:\\a", "c:\\a",    "C:\\A", "C:\\a\\b",
                           "D:\\a", "Ca", "ca",    "C:\\\xe9", ""};
    auto pick = [&] { return std::string(names[random() % std::size(names)]); };
    for (int round = 0; round < 2000; ++round) {
        TResultStore indexed("");
        indexed.GlobalDirs.resize(random() % 12);
        std::generate(indexed.GlobalDirs.begin(), indexed.GlobalDirs.end(), pick);
        if (random() % 2 == 0) {
            std::sort(indexed.GlobalDirs.begin(), indexed.GlobalDirs.end());
        }
        std::size_t n = indexed.GlobalDirs.size();
        indexed.GlobalDirSizes.assign(n - (n > 0 && random() % 4 == 0), "s");
        indexed.GlobalPercents.assign(n, "p");
        TStringList dirs(random() % 8), sizes, percents;
        std::generate(dirs.begin(), dirs.end(), pick);
        for (std::size_t k = 0; k < dirs.size(); ++k) {
            sizes.push_back("s" + std::to_string(k));
            percents.push_back("p" + std::to_string(k));
        }
        TResultStore plain = indexed;
        indexed.AppendAnalizeInfo(dirs, sizes, percents);
        PlainMerge(plain, dirs, sizes, percents);
        ASSERT_EQ(plain.GlobalDirSizes, indexed.GlobalDirSizes) << "round " << round;
        ASSERT_EQ(plain.GlobalPercents, indexed.GlobalPercents) << "round " << round;
    }
}

TEST(ResultStoreIndex, FindsTheFirstOfEqualPaths) {
    TStringList unsorted = {"C:\\b", "C:\\a", "c:\\b", "C:\\a", "C:"};
    TResultStoreIndex index(unsorted);
    EXPECT_EQ(0u, index.Find("C:\\b"));
    EXPECT_EQ(0u, index.Find("c:\\b"));
    EXPECT_EQ(1u, index.Find("C:\\a"));
    EXPECT_EQ(4u, index.Find("c:"));
    EXPECT_EQ(TResultStoreIndex::npos, index.Find("C:\\B"));
    EXPECT_EQ(TResultStoreIndex::npos, TResultStoreIndex(TStringList{}).Find("C:"));
}
