// A set read ahead on a thread of its own is taken by the next load of its
// drive only while it is still the set on disk: the load then holds what a
// plain load would, and a save afterwards sees the set as unchanged.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "engine/DiskSizeList.h"
#include "engine/ResultStore.h"
#include "tests/store/TempFolder.h"

namespace {

const TStringList kPreloadDirs = {"C:", "C:\\Data", "C:\\Data\\a b", "C:\\caf\xe9"};
const TStringList kPreloadSizes = {"1000", "600", "100", "400"};
const TStringList kPreloadPercents = {"0", "60", "16.6666660308838", "40"};

class StoredSetPreloadTest : public ::testing::Test {
  protected:
    TTempFolder folder;

    // Saves a set of drive letter's files, its stamps taken in an earlier
    // clock tick (so that a preload can tell it unchanged).
    void Save(char letter, const TStringList& dirs, const TStringList& sizes,
              const TStringList& percents, const TExtraLists& extras = {}) {
        TResultStore saver(folder.Slash());
        saver.SetFiles(std::string(1, letter) + ":");
        ASSERT_TRUE(saver.SaveAnalizeData({dirs, sizes, percents, extras})) << saver.SaveError;
        for (const std::string& file :
             {saver.DirsFile, saver.DirSizesFile, saver.PercentsFile, saver.SetFile})
            std::filesystem::last_write_time(
                file, std::filesystem::last_write_time(file) - std::chrono::seconds(10));
    }
    void ExpectLists(const TResultStore& store, const TStringList& dirs, const TStringList& sizes,
                     const TStringList& percents) {
        EXPECT_EQ(dirs, store.GlobalDirs());
        EXPECT_EQ(sizes, store.GlobalDirSizes());
        EXPECT_EQ(percents, store.GlobalPercents());
    }
};

}  // namespace

TEST_F(StoredSetPreloadTest, TheLoadTakesThePreloadOnlyWhileItIsTheStoredSet) {
    Save('C', kPreloadDirs, kPreloadSizes, kPreloadPercents);
    const TStringList otherDirs = {"C:", "C:\\new"};
    const TStringList otherSizes = {"7", "7"};
    const TStringList otherPercents = {"0", "100"};

    {  // unchanged: taken, and the store knows the set as its own
        TResultStore store(folder.Slash());
        store.PreloadDrive("C:");
        store.SetFiles("C:\\");
        ASSERT_TRUE(store.LoadGlobal());
        EXPECT_TRUE(store.TookPreload());
        ExpectLists(store, kPreloadDirs, kPreloadSizes, kPreloadPercents);
        // A change in memory is saved over the set it knows as stored.
        store.AppendAnalizeInfo({{"C:\\Data\\a b"}, {"101"}, {"0"}});
        EXPECT_TRUE(store.SaveGlobalSLS()) << store.SaveError;
        Save('C', kPreloadDirs, kPreloadSizes, kPreloadPercents);
    }
    {  // taken, and a set another saved since is not written over
        TResultStore store(folder.Slash());
        store.PreloadDrive("C:");
        store.SetFiles("C:\\");
        ASSERT_TRUE(store.LoadGlobal());
        EXPECT_TRUE(store.TookPreload());
        Save('C', otherDirs, otherSizes, otherPercents);
        EXPECT_FALSE(store.SaveGlobalSLS());
        Save('C', kPreloadDirs, kPreloadSizes, kPreloadPercents);
    }
    {  // saved again after the preload read it: the new set is loaded
        TResultStore store(folder.Slash());
        store.PreloadDrive("C:");
        store.SetFiles("C:\\");
        ASSERT_TRUE(store.AnalizeFiExists());
        store.WaitForPreload();
        Save('C', otherDirs, otherSizes, otherPercents);
        ASSERT_TRUE(store.LoadGlobal());
        EXPECT_FALSE(store.TookPreload());
        ExpectLists(store, otherDirs, otherSizes, otherPercents);
    }
    {  // another drive is loaded: its own files, not the preload
        Save('D', otherDirs, otherSizes, otherPercents);
        TResultStore store(folder.Slash());
        store.PreloadDrive("C:");
        store.SetFiles("D:\\");
        ASSERT_TRUE(store.LoadGlobal());
        EXPECT_FALSE(store.TookPreload());
        ExpectLists(store, otherDirs, otherSizes, otherPercents);
    }
    {  // nothing stored when the preload looked: the set saved since loads
        TTempFolder empty;
        TResultStore store(empty.Slash());
        store.PreloadDrive("C:");
        TResultStore saver(empty.Slash());
        saver.SetFiles("C:");
        store.SetFiles("C:\\");
        ASSERT_TRUE(saver.SaveAnalizeData({kPreloadDirs, kPreloadSizes, kPreloadPercents}));
        ASSERT_TRUE(store.LoadGlobal());
        EXPECT_FALSE(store.TookPreload());
        ExpectLists(store, kPreloadDirs, kPreloadSizes, kPreloadPercents);
    }
}

TEST_F(StoredSetPreloadTest, ATakenPreloadBringsTheSetsExtraFiles) {
    // The allocated bytes are part of the set: a window started on a
    // preloaded drive must know them as a plain load does.
    const TExtraLists extras = {{std::string(kDiskSizesRole), {"4096", "4096", "0", "8192"}}};
    Save('C', kPreloadDirs, kPreloadSizes, kPreloadPercents, extras);
    TResultStore store(folder.Slash());
    store.PreloadDrive("C:");
    store.SetFiles("C:\\");
    ASSERT_TRUE(store.LoadGlobal());
    EXPECT_TRUE(store.TookPreload());
    ExpectLists(store, kPreloadDirs, kPreloadSizes, kPreloadPercents);
    EXPECT_EQ(extras, store.GlobalExtras());
}
