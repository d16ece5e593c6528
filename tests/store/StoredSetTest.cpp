// A stored set travels as one value: every operation that changes a drive's
// set (an item command's edit, a rescan merged in memory or behind the
// views, an import replacing the lists, a drive scan saved behind the
// views, a load) keeps each of its extra lists, or drops one only where it
// says so. And the global set is written only through the store.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <thread>
#include <type_traits>
#include <utility>

#include "engine/DetachedSave.h"
#include "engine/DiscoverData.h"
#include "engine/DiscoverKind.h"
#include "engine/DiskSizeList.h"
#include "engine/ExtraFileKinds.h"
#include "engine/ResultStore.h"
#include "engine/StoredSet.h"
#include "tests/store/DriveCFolderTest.h"

// The compiler refuses every write to the global set from outside the
// store: each way to read it gives a const reference, and no member of that
// name can be a public list beside the function.
static_assert(std::is_same_v<decltype(std::declval<TResultStore&>().Global()), const TStoredSet&>);
static_assert(
    std::is_same_v<decltype(std::declval<TResultStore&>().GlobalDirs()), const TStringList&>);
static_assert(
    std::is_same_v<decltype(std::declval<TResultStore&>().GlobalDirSizes()), const TStringList&>);
static_assert(
    std::is_same_v<decltype(std::declval<TResultStore&>().GlobalPercents()), const TStringList&>);
static_assert(
    std::is_same_v<decltype(std::declval<TResultStore&>().GlobalExtras()), const TExtraLists&>);

namespace {

using TRoles = std::set<std::string>;
const std::string kDisk(kDiskSizesRole);
const std::string kDiscover(kDiscoverRole);

TRoles RolesOf(const TExtraLists& extras) {
    TRoles roles;
    for (const auto& [role, lines] : extras)
        roles.insert(role);
    return roles;
}

TRoles Common(const TRoles& a, const TRoles& b) {
    TRoles both;
    for (const std::string& role : a)
        if (b.count(role) != 0)
            both.insert(role);
    return both;
}

class StoredSetTest : public TDriveCFolderTest {
  protected:
    std::mt19937 random{20261210};

    int Pick(int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); }

    // The extra lists of each kind, or none, at random, fitting dirs.
    void AddExtras(TStoredSet& set) {
        if (Pick(2) == 0) {
            TStringList& disk = set.Extras[kDisk];
            for (std::size_t i = 0; i < set.Dirs.size(); ++i)
                disk.push_back(std::to_string(4096 * (1 + Pick(1000))));
        }
        if (Pick(2) == 0) {
            TDiscoverData data;
            data.HasTimes = false;
            data.Largest.push_back(
                TLargeFile{std::string(set.Dirs[0]) + "\\big" + std::to_string(Pick(100)),
                           1000000 + Pick(1000), 1003520, kNoTime});
            set.Extras[kDiscover] = data.Lines();
        }
    }

    // Folders below "C:" (or below folder) in the form a scan stores:
    // byte order, every parent present.
    TStoredSet MakeSet(const std::string& root, int count) {
        std::set<std::string> paths{root};
        for (int i = 0; i < count; ++i) {
            std::string path = root;
            for (int depth = 1 + Pick(3); depth > 0; --depth) {
                path += "\\" + std::string(1, static_cast<char>('a' + Pick(4)));
                paths.insert(path);
            }
        }
        TStoredSet set;
        for (const std::string& path : paths) {
            set.Dirs.push_back(path);
            set.Sizes.push_back(std::to_string(1 + Pick(100000)));
            set.Percents.push_back(path == root ? "0" : std::to_string(Pick(100)));
        }
        AddExtras(set);
        return set;
    }

    TStoredSet MakeRescan(const TStoredSet& of) {
        return MakeSet(
            std::string(of.Dirs[static_cast<std::size_t>(Pick(static_cast<int>(of.Dirs.size())))]),
            Pick(4));
    }

    // What a fresh load of the drive finds.
    TStoredSet OnDisk() {
        TResultStore reader = Store();
        EXPECT_TRUE(reader.LoadGlobal()) << reader.LoadNotice;
        return reader.Global();
    }

    static void ExpectSame(const TStoredSet& a, const TStoredSet& b, const std::string& what) {
        EXPECT_EQ(a.Dirs, b.Dirs) << what;
        EXPECT_EQ(a.Sizes, b.Sizes) << what;
        EXPECT_EQ(a.Percents, b.Percents) << what;
        EXPECT_EQ(a.Extras, b.Extras) << what;
    }

    // A save behind the views, run to its end and taken back.
    static void RunBehind(std::unique_ptr<TDetachedSave> job) {
        std::thread([&job] { job->Run(); }).join();
        job->Finish();
        EXPECT_TRUE(job->Saved()) << job->Error();
    }
};

}  // namespace

TEST_F(StoredSetTest, EveryChangeKeepsEachExtraListOrDropsItWhereItSays) {
    TResultStore window = Store();
    {
        const TStoredSet first = MakeSet("C:", 12);
        ASSERT_TRUE(window.SaveAnalizeData(first));
        ASSERT_TRUE(window.LoadGlobal()) << window.LoadNotice;
        ExpectSame(window.Global(), first, "load");
    }
    for (int round = 0; round < 120; ++round) {
        const std::string what = "round " + std::to_string(round);
        const TRoles before = RolesOf(window.GlobalExtras());
        TRoles expected = before;
        bool stored = true;  // the global set is what is on disk afterwards
        switch (Pick(7)) {
            case 0: {  // an item command that knows nothing of the extras
                ASSERT_TRUE(window.UpdateStoredSet([](TStoredSet& set) {
                    set.Sizes.Set(0, "7");
                    set.DropExtras();
                })) << window.SaveError;
                expected.clear();
                break;
            }
            case 1: {  // a change that keeps the extras, or drops one kind
                const std::string dropped = Pick(2) == 0 ? kDisk : kDiscover;
                const bool drop = Pick(2) == 0;
                ASSERT_TRUE(window.UpdateStoredSet([&](TStoredSet& set) {
                    set.Percents.Set(0, "0");
                    if (drop)
                        set.DropExtra(dropped);
                })) << window.SaveError;
                if (drop)
                    expected.erase(dropped);
                break;
            }
            case 2: {  // a rescan merged in memory, saved later
                const TStoredSet rescan = MakeRescan(window.Global());
                window.AppendAnalizeInfo(rescan);
                expected = Common(before, RolesOf(rescan.Extras));
                if (Pick(2) == 0)
                    ASSERT_TRUE(window.SaveGlobalSLS()) << window.SaveError;
                else
                    stored = false;
                break;
            }
            case 3: {  // a rescan saved behind the views
                const TStoredSet rescan = MakeRescan(window.Global());
                RunBehind(TDetachedSave::BeginFolderRescan(window, rescan));
                expected = Common(before, RolesOf(rescan.Extras));
                break;
            }
            case 4: {  // a drive scan saved behind the views
                const TStoredSet scan = MakeSet("C:", 1 + Pick(15));
                RunBehind(TDetachedSave::BeginDriveScan(window, scan));
                expected = RolesOf(scan.Extras);
                ExpectSame(window.Global(), scan, what);
                break;
            }
            case 5: {  // an import replaces the lists, then the drive is loaded again
                const TStoredSet imported = MakeSet("C:", 1 + Pick(15));
                EXPECT_TRUE(window.ReplaceGlobal(imported));
                ExpectSame(window.Global(), imported, what);
                ASSERT_TRUE(window.LoadGlobal()) << window.LoadNotice;
                break;
            }
            default: {  // a plain save as the window's own lists
                const TStoredSet scan = MakeSet("C:", 1 + Pick(15));
                ASSERT_TRUE(window.SaveAsGlobal(scan)) << window.SaveError;
                expected = RolesOf(scan.Extras);
                break;
            }
        }
        EXPECT_EQ(RolesOf(window.GlobalExtras()), expected) << what;
        for (const auto& [role, lines] : window.GlobalExtras()) {
            const TExtraFileKind* kind = FindExtraFileKind(role);
            ASSERT_NE(kind, nullptr) << what;
            EXPECT_EQ(kind->Fault(window.GlobalDirs(), lines), "") << role << ", " << what;
        }
        if (stored)
            ExpectSame(OnDisk(), window.Global(), what);
        else
            ASSERT_TRUE(window.SaveGlobalSLS()) << window.SaveError;
    }
}

// While a save of the lists runs behind the views, a replacement waits for
// its end, whole; without one it is made at once.
TEST_F(StoredSetTest, AReplacementQueuesBehindARunningSaveAndComesInWhole) {
    TResultStore window = Store();
    const TStoredSet scan = MakeSet("C:", 10);
    TStoredSet imported = MakeSet("C:", 6), later = MakeSet("C:", 4);
    imported.Extras[kDisk] = TStringList(imported.Dirs.size(), "4096");
    std::vector<std::string> applied;

    std::unique_ptr<TDetachedSave> job = TDetachedSave::BeginDriveScan(window, scan);
    EXPECT_TRUE(window.DetachedSaveRuns());
    std::thread worker([&job] { job->Run(); });
    EXPECT_FALSE(window.ReplaceGlobal(imported, [&] { applied.push_back("imported"); }));
    EXPECT_FALSE(window.ReplaceGlobal(later, [&] { applied.push_back("later"); }));
    EXPECT_EQ(window.QueuedReplacements(), 2u);
    EXPECT_TRUE(applied.empty());
    worker.join();
    // What the worker saves is still the scan: the queue did not touch it.
    ExpectSame(window.Global(), scan, "during the save");
    const std::uint64_t generation = window.Generation();
    job->Finish();
    EXPECT_TRUE(job->Saved()) << job->Error();
    EXPECT_FALSE(window.DetachedSaveRuns());
    EXPECT_EQ(window.QueuedReplacements(), 0u);
    EXPECT_EQ(applied, (std::vector<std::string>{"imported", "later"}));
    EXPECT_GT(window.Generation(), generation);
    ExpectSame(window.Global(), later, "after the save");
    ExpectSame(OnDisk(), scan, "stored");

    // No save runs: at once, and the callback before the call returns.
    EXPECT_TRUE(window.ReplaceGlobal(imported, [&] { applied.push_back("now"); }));
    EXPECT_EQ(applied.back(), "now");
    ExpectSame(window.Global(), imported, "at once");
    // Not the stored set: a save of it may replace what is on disk.
    ASSERT_TRUE(window.SaveGlobalSLS()) << window.SaveError;
    ExpectSame(OnDisk(), imported, "saved");
}
