// A drive's result files as a set: a save cut off at any point loads as the
// old set or the new one, never a mix; sets that cannot be trusted are
// refused with the file and line named.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <set>

#include "engine/ResultStore.h"
#include "tests/store/DriveCFolderTest.h"
#include "tests/store/MarkedSet.h"

namespace {

using TLists = TMarkedSet;

TLists Loaded(const TResultStore& store) {
    return TLists{store.GlobalDirs(), store.GlobalDirSizes(), store.GlobalPercents()};
}

std::size_t CountFiles(const std::string& folder) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

class ResultSetTest : public TDriveCFolderTest {
  protected:
    bool Save(const TLists& set) {
        TResultStore store = Store();
        return store.SaveAnalizeData({set.Dirs, set.Sizes, set.Percents});
    }

    // Saves set in a child process that dies at once after step crashStep
    // (-1: never), as a kill -9 would: no destructor runs, nothing is
    // cleaned up.
    void SaveAndDie(const TLists& set, int crashStep) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            TResultStore store = Store();
            store.SaveStepHook = [crashStep](int step) {
                if (step == crashStep)
                    _exit(7);
            };
            const bool saved = store.SaveAnalizeData({set.Dirs, set.Sizes, set.Percents});
            _exit(saved ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(child, waitpid(child, &status, 0));
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(crashStep < 0 ? 0 : 7, WEXITSTATUS(status)) << "crash step " << crashStep;
    }

    TLists Load(std::string* notice = nullptr) {
        TResultStore store = Store();
        EXPECT_TRUE(store.LoadGlobal()) << store.LoadNotice;
        if (notice != nullptr)
            *notice = store.LoadNotice;
        return Loaded(store);
    }
};

}  // namespace

TEST_F(ResultSetTest, ACrashBetweenAnyTwoStepsOfASaveLoadsTheOldSetOrTheNew) {
    const TLists before = MakeSet(1, 50);
    const TLists after = MakeSet(2, 70);
    for (int step = 0; step <= 5; ++step) {
        ASSERT_TRUE(Save(before));
        SaveAndDie(after, step);
        std::string notice;
        const TLists loaded = Load(&notice);
        if (step < 5) {
            EXPECT_TRUE(loaded == before) << "crash after step " << step;
        } else {
            EXPECT_TRUE(loaded == after) << "crash after step " << step;
        }
        // Between the manifest and the last rename the files of the set are
        // mixed: the set kept from before is shown, and the user is told.
        EXPECT_EQ(step >= 2 && step < 5, !notice.empty()) << step << ": " << notice;
    }
}

TEST_F(ResultSetTest, RandomSavesAndCrashesAlwaysLoadTheLastWholeSet) {
    std::mt19937 random(13);
    TLists whole = MakeSet(0, 5);
    ASSERT_TRUE(Save(whole));
    for (int generation = 1; generation <= 40; ++generation) {
        const TLists next = MakeSet(generation, 1 + random() % 60);
        // Crashes far more often than not, and several in a row.
        const int crash = static_cast<int>(random() % 8) - 2;
        SaveAndDie(next, crash);
        if (crash < 0 || crash == 5)
            whole = next;
        ASSERT_TRUE(Load() == whole) << "generation " << generation << ", crash " << crash;
    }
}

TEST_F(ResultSetTest, TheNextSaveRemovesTemporaryFilesOfKilledSaves) {
    ASSERT_TRUE(Save(MakeSet(1, 10)));
    SaveAndDie(MakeSet(2, 10), 0);                  // killed with its three new files written
    EXPECT_EQ(4u + 3u, CountFiles(folder.Path()));  // the set and three temporaries
    WriteBytes(File(".DSet.Ab12Cd"), "x");
    WriteBytes(File("..EDirs.previous.zZ0099"), "x");
    // Not ours: they stay.
    WriteBytes(File(".CDirs.keep"), "x");
    WriteBytes(File(".CNotes.Ab12Cd"), "x");
    WriteBytes(File("notes.txt"), "x");
    ASSERT_TRUE(Save(MakeSet(3, 10)));
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        names.insert(entry.path().filename().string());
    const std::set<std::string> expected = {"CDirs",
                                            "CDirSizes",
                                            "CPercents",
                                            "CSet",
                                            ".CDirs.previous",
                                            ".CDirSizes.previous",
                                            ".CPercents.previous",
                                            ".CDirs.keep",
                                            ".CNotes.Ab12Cd",
                                            "notes.txt"};
    EXPECT_EQ(expected, names);
    EXPECT_TRUE(Load() == MakeSet(3, 10));
}

TEST_F(ResultSetTest, ASetSavedWithoutAManifestLoadsAndIsKeptByTheNextSave) {
    const TLists old = MakeSet(4, 8);
    WriteBytes(File("CDirs"), "");
    {
        std::string dirs, sizes, percents;
        for (std::size_t i = 0; i < old.Dirs.size(); ++i) {
            dirs += std::string(old.Dirs[i]) + "\r\n";
            sizes += std::string(old.Sizes[i]) + "\r\n";
            percents += std::string(old.Percents[i]) + "\r\n";
        }
        WriteBytes(File("CDirs"), dirs);
        WriteBytes(File("CDirSizes"), sizes);
        WriteBytes(File("CPercents"), percents);
    }
    std::string notice;
    EXPECT_TRUE(Load(&notice) == old);
    EXPECT_EQ("", notice);
    SaveAndDie(MakeSet(5, 9), 3);  // cut off after the first rename
    EXPECT_TRUE(Load(&notice) == old);
    EXPECT_NE("", notice);
}

TEST_F(ResultSetTest, AMixedSetWithNothingKeptIsRefused) {
    ASSERT_TRUE(Save(MakeSet(1, 10)));
    const std::string olderDirs = ReadBytes(File("CDirs"));
    ASSERT_TRUE(Save(MakeSet(2, 10)));
    // The files are a mix of the two sets the manifest records, as a save
    // cut off between its renames leaves them, and the set before is gone.
    WriteBytes(File("CDirs"), olderDirs);
    std::filesystem::remove(File(".CDirs.previous"));
    TResultStore store = Store();
    EXPECT_FALSE(store.LoadGlobal());
    EXPECT_NE(std::string::npos, store.LoadNotice.find("drive C:")) << store.LoadNotice;
    EXPECT_NE(std::string::npos, store.LoadNotice.find("a mix of two saves")) << store.LoadNotice;
    EXPECT_EQ(TStringList{" "}, store.GlobalDirs());  // nothing of the files is used
    EXPECT_EQ(TStringList{"0"}, store.GlobalDirSizes());
}

TEST_F(ResultSetTest, ADamagedManifestIsRefused) {
    ASSERT_TRUE(Save(MakeSet(1, 10)));
    WriteBytes(File("CSet"), "cobaltquarry result set 1\ncurrent generation x\n");
    TResultStore store = Store();
    EXPECT_FALSE(store.LoadGlobal());
    EXPECT_NE(std::string::npos, store.LoadNotice.find(File("CSet"))) << store.LoadNotice;
}

namespace {

struct TBadSet {
    const char* what;
    const char* dirs;
    const char* sizes;
    const char* percents;
    const char* expected;  // in the notice
};

}  // namespace

TEST_F(ResultSetTest, ListsThatCannotBeTrustedAreRefusedNamingFileAndLine) {
    const TBadSet cases[] = {
        {"unequal lengths", "C:\r\nC:\\a\r\nC:\\b\r\n", "3\r\n2\r\n", "0\r\n50\r\n50\r\n",
         "CDirs has 3 lines, "},
        {"out of order", "C:\r\nC:\\b\r\nC:\\a\r\n", "3\r\n1\r\n1\r\n", "0\r\n50\r\n50\r\n",
         "CDirs, line 3 is out of order"},
        {"twice", "C:\r\nC:\\a\r\nC:\\a\r\n", "3\r\n1\r\n1\r\n", "0\r\n50\r\n50\r\n",
         "CDirs, line 3 is out of order"},
        {"size not a number", "C:\r\nC:\\a\r\n", "3\r\n2O\r\n", "0\r\n50\r\n",
         "CDirSizes, line 2 is not a whole number"},
        {"size past 64 bits", "C:\r\nC:\\a\r\n", "99999999999999999999\r\n1\r\n", "0\r\n50\r\n",
         "CDirSizes, line 1 is not a whole number"},
        {"percent with a comma", "C:\r\nC:\\a\r\n", "3\r\n2\r\n", "0\r\n66,6\r\n",
         "CPercents, line 2 is not a number"},
        {"percent past a double", "C:\r\nC:\\a\r\n", "3\r\n2\r\n", "0\r\n1e999\r\n",
         "CPercents, line 2 is not a number"},
        {"empty folder name", "C:\r\n\r\n", "3\r\n2\r\n", "0\r\n1\r\n", "CDirs, line 2 is empty"},
    };
    for (const TBadSet& bad : cases) {
        WriteBytes(File("CDirs"), bad.dirs);
        WriteBytes(File("CDirSizes"), bad.sizes);
        WriteBytes(File("CPercents"), bad.percents);
        TResultStore store = Store();
        EXPECT_FALSE(store.LoadGlobal()) << bad.what;
        EXPECT_NE(std::string::npos, store.LoadNotice.find(folder.Slash() + bad.expected))
            << bad.what << ": " << store.LoadNotice;
        EXPECT_EQ(TStringList{" "}, store.GlobalDirs()) << bad.what;
        // Told once per run, not at every visit of the drive.
        EXPECT_EQ(store.LoadNotice, store.TakeLoadNotice());
        store.LoadGlobal();
        EXPECT_EQ("", store.TakeLoadNotice());
    }
    // Large but finite numbers are numbers: the views clamp them where they read them.
    WriteBytes(File("CDirs"), "C:\r\nC:\\a\r\n");
    WriteBytes(File("CDirSizes"), "-9223372036854775808\r\n9223372036854775807\r\n");
    WriteBytes(File("CPercents"), "0\r\n1e38\r\n");
    TResultStore store = Store();
    EXPECT_TRUE(store.LoadGlobal()) << store.LoadNotice;
}

TEST_F(ResultSetTest, AMissingFileIsReportedAndNothingIsUsed) {
    ASSERT_TRUE(Save(MakeSet(1, 10)));
    std::filesystem::remove(File("CDirSizes"));
    TResultStore store = Store();
    EXPECT_FALSE(store.LoadGlobal());
    EXPECT_NE(std::string::npos, store.LoadNotice.find(File("CDirSizes"))) << store.LoadNotice;
    EXPECT_EQ(TStringList{" "}, store.GlobalDirs());
    // A file that cannot be read is told with its own reason, though another
    // thread than the one that makes the notice read it.
    std::filesystem::create_directory(File("CDirSizes"));
    EXPECT_FALSE(store.LoadGlobal());
    EXPECT_NE(std::string::npos,
              store.LoadNotice.find(File("CDirSizes") + ": " + std::strerror(EISDIR)))
        << store.LoadNotice;
}

TEST(ResultStoreWithoutDataFolder, NeverWritesIntoTheCurrentDirectory) {
    TTempFolder here;
    const auto before = std::filesystem::current_path();
    std::filesystem::current_path(here.Path());
    TResultStore store{std::string()};
    store.DataFolderProblem = "the data folder cannot be made";
    store.SetFiles("C:\\");
    EXPECT_EQ("", store.PercentsFile);
    EXPECT_FALSE(store.SaveAnalizeData({{"C:"}, {"1"}, {"0"}}));
    EXPECT_EQ("the data folder cannot be made", store.SaveError);
    EXPECT_FALSE(store.SaveGlobalSLS());
    EXPECT_FALSE(store.LoadGlobal());
    std::filesystem::current_path(before);
    EXPECT_TRUE(std::filesystem::is_empty(here.Path()));
}
