// A drive's extra files (the allocated bytes per folder) as part of its
// result set: saved, kept and loaded with the three lists, never mixed
// with another save's, carried by rescans, left out where they cannot be
// known.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "engine/DiskSizeList.h"
#include "engine/ExtraRescan.h"
#include "engine/HistorySnapshot.h"
#include "engine/ResultStore.h"
#include "platform/DataFolder.h"
#include "tests/store/DriveCFolderTest.h"
#include "tests/store/MarkedSet.h"

namespace {

const std::string kRole(kDiskSizesRole);

// Allocated bytes for a marked set: a value per folder, marked like it.
TExtraLists DiskOf(const TMarkedSet& set, int mark) {
    TStringList disk;
    for (std::size_t i = 0; i < set.Dirs.size(); ++i)
        disk.push_back(std::to_string(mark * 4096 + static_cast<int>(i)));
    return {{kRole, disk}};
}

class ExtraFilesTest : public TDriveCFolderTest {
  protected:
    bool Save(const TMarkedSet& set, const TExtraLists& extras) {
        TResultStore store = Store();
        return store.SaveAnalizeData({set.Dirs, set.Sizes, set.Percents, extras});
    }
    // As a kill -9 right after the given step of the save.
    void SaveAndDie(const TMarkedSet& set, const TExtraLists& extras, int crashStep) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            TResultStore store = Store();
            store.SaveStepHook = [crashStep](int step) {
                if (step == crashStep)
                    _exit(7);
            };
            _exit(store.SaveAnalizeData({set.Dirs, set.Sizes, set.Percents, extras}) ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(child, waitpid(child, &status, 0));
        ASSERT_TRUE(WIFEXITED(status));
        ASSERT_EQ(7, WEXITSTATUS(status));
    }
    TResultStore Loaded() {
        TResultStore store = Store();
        EXPECT_TRUE(store.LoadGlobal()) << store.LoadNotice;
        return store;
    }
};

}  // namespace

// Whatever step a save dies after, the set that loads comes with its own
// allocated bytes: the old set with the old ones, the new with the new.
TEST_F(ExtraFilesTest, ACrashAtAnyStepLoadsTheExtraFilesOfTheSetThatLoads) {
    const TMarkedSet before = MakeSet(1, 40), after = MakeSet(2, 60);
    const TExtraLists oldDisk = DiskOf(before, 1), newDisk = DiskOf(after, 2);
    for (const int step : {0, 1, 2, 6, 3, 4, 5}) {
        ASSERT_TRUE(Save(before, oldDisk));
        SaveAndDie(after, newDisk, step);
        TResultStore store = Loaded();
        const bool isNew = step == 5;
        EXPECT_EQ(store.GlobalDirs(), isNew ? after.Dirs : before.Dirs) << "step " << step;
        EXPECT_EQ(store.GlobalExtras(), isNew ? newDisk : oldDisk) << "step " << step;
        // The save after the crash keeps whichever set was whole, with its
        // extra file, and is loaded whole itself.
        const TMarkedSet third = MakeSet(3, 20);
        TReplacedSet replaced;
        TResultStore saver = Store();
        ASSERT_TRUE(saver.SaveAnalizeData(
            {third.Dirs, third.Sizes, third.Percents, DiskOf(third, 3)}, &replaced));
        EXPECT_EQ(replaced.Lists.Extras, isNew ? newDisk : oldDisk) << "step " << step;
        EXPECT_EQ(Loaded().GlobalExtras(), DiskOf(third, 3));
    }
}

// A set of an earlier version (no extra lines in its manifest), a set saved
// without the extra file, and a file that does not fit its set all load,
// with the allocated bytes not known; a stale file is removed by the save
// that leaves it out.
TEST_F(ExtraFilesTest, SetsWithoutAUsableExtraFileLoadWithItNotKnown) {
    const TMarkedSet set = MakeSet(4, 30);
    ASSERT_TRUE(Save(set, DiskOf(set, 4)));
    const std::string manifest = ReadBytes(File("CSet"));
    EXPECT_NE(manifest.find("current extra DiskSizes 30 "), std::string::npos) << manifest;
    EXPECT_EQ(Loaded().GlobalExtras(), DiskOf(set, 4));

    // The manifest of an earlier version: the same lines without the extra one.
    std::string old;
    for (std::size_t at = 0, end; at < manifest.size(); at = end + 1) {
        end = manifest.find('\n', at);
        const std::string line = manifest.substr(at, end - at + 1);
        if (line.find(" extra ") == std::string::npos)
            old += line;
    }
    WriteBytes(File("CSet"), old);
    TResultStore store = Loaded();
    EXPECT_EQ(store.GlobalDirs(), set.Dirs);
    EXPECT_TRUE(store.GlobalExtras().empty());

    // One line short of its set: recorded as saved, but of no use.
    TExtraLists shortDisk = DiskOf(set, 4);
    shortDisk[kRole].pop_back();
    ASSERT_TRUE(Save(set, shortDisk));
    EXPECT_TRUE(Loaded().GlobalExtras().empty());

    ASSERT_TRUE(Save(set, {}));
    EXPECT_FALSE(DataFileExists(File("CDiskSizes")));
    EXPECT_TRUE(Loaded().GlobalExtras().empty());
}

// A change that knows nothing of the extra lists drops them; one that
// takes them keeps what it leaves; a rescan merges the allocated bytes
// exactly as the sizes, ancestors and new folders included.
TEST_F(ExtraFilesTest, ChangesAndRescansCarryOrDropTheExtraLists) {
    TMarkedSet set;
    set.Dirs = {"C:", "C:\\a", "C:\\a\\b", "C:\\c"};
    set.Sizes = {"100", "60", "10", "40"};
    set.Percents = {"0", "60", "16.6666666666667", "40"};
    ASSERT_TRUE(Save(set, {{kRole, {"1000", "600", "100", "400"}}}));

    TResultStore store = Loaded();
    // The rescan of C:\a finds b larger and a new folder d.
    const TStringList dirs = {"C:\\a", "C:\\a\\b", "C:\\a\\d"};
    const TStringList sizes = {"80", "20", "10"};
    const TStringList percents = {"0", "25", "12.5"};
    const TExtraLists rescanDisk = {{kRole, {"900", "300", "200"}}};
    ASSERT_TRUE(store.UpdateStoredSet([&](TStoredSet& set) {
        AppendRescanWithExtras(set.Dirs, set.Sizes, set.Percents, set.Extras, dirs, sizes, percents,
                               rescanDisk);
    }));
    TResultStore merged = Loaded();
    EXPECT_EQ(merged.GlobalDirs(), (TStringList{"C:", "C:\\a", "C:\\a\\b", "C:\\a\\d", "C:\\c"}));
    EXPECT_EQ(merged.GlobalDirSizes(), (TStringList{"120", "80", "20", "10", "40"}));
    EXPECT_EQ(merged.GlobalExtras().at(kRole), (TStringList{"1300", "900", "300", "200", "400"}));

    // A rescan without allocated bytes (an import lacking them) drops them.
    merged.AppendAnalizeInfo({dirs, sizes, percents, {}});
    EXPECT_TRUE(merged.GlobalExtras().empty());

    ASSERT_TRUE(store.UpdateStoredSet([](TStoredSet& set) { set.DropExtras(); }));
    EXPECT_TRUE(Loaded().GlobalExtras().empty());
}

// The history keeps the extra lists beside the sizes; a snapshot without
// them reads as before.
TEST_F(ExtraFilesTest, KeptSetsHoldTheirExtraLists) {
    const TMarkedSet set = MakeSet(5, 25);
    for (const TExtraLists& extras : {TExtraLists{}, DiskOf(set, 5)}) {
        std::string error;
        ASSERT_TRUE(WriteHistorySnapshot(File("C.zst"), 'C', 1765262410, set.Dirs, set.Sizes, error,
                                         extras))
            << error;
        THistorySnapshot read;
        ASSERT_TRUE(ReadHistorySnapshot(File("C.zst"), read, error)) << error;
        EXPECT_EQ(read.Dirs, set.Dirs);
        EXPECT_EQ(read.Sizes.size(), set.Sizes.size());
        EXPECT_EQ(read.Extras, extras);
    }
}
