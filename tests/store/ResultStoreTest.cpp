#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "engine/ResultFileText.h"
#include "engine/ResultStore.h"
#include "tests/store/TempFolder.h"

namespace {

// A small analysis of drive C, in the analyzer's sorted order.
const TStringList kDirs = {"C:", "C:\\Data", "C:\\Data\\a b", "C:\\caf\xe9", "C:\\data"};
const TStringList kSizes = {"1000", "600", "100", "0", "400"};
const TStringList kPercents = {"0", "60", "16.6666660308838", "0", "40"};

class ResultStoreTest : public ::testing::Test {
  protected:
    TTempFolder folder;
    TResultStore store{folder.Slash()};

    void SaveDriveC() {
        store.SetFiles("C:\\");
        ASSERT_TRUE(store.SaveAnalizeData({kDirs, kSizes, kPercents}));
    }
    std::string File(const std::string& name) const { return folder.Slash() + name; }
};

}  // namespace

TEST_F(ResultStoreTest, StartsWithOneEntryPerListAndNoFiles) {
    TResultStore fresh(folder.Slash());
    EXPECT_EQ(TStringList{" "}, fresh.GlobalDirs());
    EXPECT_EQ(TStringList{"0"}, fresh.GlobalDirSizes());
    EXPECT_EQ(TStringList{"0"}, fresh.GlobalPercents());
    EXPECT_EQ("", fresh.DirsFile);
    EXPECT_FALSE(fresh.GlobalSLSEmpty());
    EXPECT_FALSE(fresh.AnalizeFiExists());
    EXPECT_FALSE(fresh.SaveGlobalSLS());  // no drive named yet: nothing written
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

TEST_F(ResultStoreTest, FreeAndCreateTheLists) {
    store.FreeSLs();
    EXPECT_TRUE(store.GlobalSLSEmpty());
    store.CreateSLs();
    EXPECT_EQ(TStringList{" "}, store.GlobalDirs());
    EXPECT_EQ(TStringList{"0"}, store.GlobalPercents());
    EXPECT_FALSE(store.GlobalSLSEmpty());
    store.ReplaceGlobal({{}, {"0"}, {"0"}});
    EXPECT_FALSE(store.GlobalSLSEmpty());  // empty only when all three are
}

TEST_F(ResultStoreTest, FilesAreNamedAfterTheDriveLetter) {
    store.SetFiles("C:\\Data\\x");
    EXPECT_EQ(File("CDirs"), store.DirsFile);
    EXPECT_EQ(File("CDirSizes"), store.DirSizesFile);
    EXPECT_EQ(File("CPercents"), store.PercentsFile);
    store.SetFiles("D:");
    EXPECT_EQ(File("DDirs"), store.DirsFile);
    EXPECT_EQ(File("DSet"), store.SetFile);
    store.SetFiles("");
    EXPECT_EQ("", store.PercentsFile);
    EXPECT_FALSE(store.SaveAnalizeData({kDirs, kSizes, kPercents}));
}

TEST_F(ResultStoreTest, SaveWritesCrLfLinesWithMode0600) {
    SaveDriveC();
    EXPECT_EQ("C:\r\nC:\\Data\r\nC:\\Data\\a b\r\nC:\\caf\xe9\r\nC:\\data\r\n",
              ReadBytes(File("CDirs")));
    EXPECT_EQ("1000\r\n600\r\n100\r\n0\r\n400\r\n", ReadBytes(File("CDirSizes")));
    EXPECT_EQ("0\r\n60\r\n16.6666660308838\r\n0\r\n40\r\n", ReadBytes(File("CPercents")));
    for (const char* name : {"CDirs", "CDirSizes", "CPercents", "CSet"}) {
        EXPECT_EQ(0600u, ModeOf(File(name))) << name;
    }
    // The three files and their manifest; no earlier set to keep yet.
    EXPECT_EQ(4, std::distance(std::filesystem::directory_iterator(folder.Path()), {}));
}

TEST_F(ResultStoreTest, SaveThenLoadGivesTheSameListsLineForLine) {
    SaveDriveC();
    TResultStore later(folder.Slash());
    later.SetFiles("C:");
    ASSERT_TRUE(later.AnalizeFiExists());
    TTreeLists tree;
    ASSERT_TRUE(later.LoadData(tree));
    EXPECT_EQ(kDirs, later.GlobalDirs());
    EXPECT_EQ(kSizes, later.GlobalDirSizes());
    EXPECT_EQ(kPercents, later.GlobalPercents());
    EXPECT_EQ(kDirs, tree.Dirs);
    EXPECT_EQ(kPercents, tree.Percents);
    EXPECT_TRUE(tree.ShowBarCharts);
    TStoredSet changed = later.Global();
    changed.Dirs.Set(0, "changed");
    later.ReplaceGlobal(std::move(changed));  // the tree keeps its own copy
    EXPECT_EQ("C:", tree.Dirs[0]);
}

TEST_F(ResultStoreTest, TwoDrivesKeepSeparateFiles) {
    SaveDriveC();
    store.SetFiles("D:\\");
    ASSERT_TRUE(store.SaveAnalizeData({{"D:", "D:\\x"}, {"5", "5"}, {"0", "100"}}));
    store.SetFiles("C:\\");
    ASSERT_TRUE(store.LoadGlobal());
    EXPECT_EQ(kDirs, store.GlobalDirs());
    store.SetFiles("D:\\");
    ASSERT_TRUE(store.LoadGlobal());
    EXPECT_EQ((TStringList{"D:", "D:\\x"}), store.GlobalDirs());
    EXPECT_EQ((TStringList{"5", "5"}), store.GlobalDirSizes());
}

TEST_F(ResultStoreTest, OnlyAllThreeFilesCountAsAnalysed) {
    SaveDriveC();
    EXPECT_TRUE(store.AnalizeFiExists());
    for (const char* name : {"CPercents", "CDirs", "CDirSizes"}) {
        std::filesystem::rename(File(name), File("aside"));
        EXPECT_FALSE(store.AnalizeFiExists()) << name << " missing";
        std::filesystem::create_directory(File(name));
        EXPECT_FALSE(store.AnalizeFiExists()) << name << " a folder";
        std::filesystem::remove(File(name));
        std::filesystem::rename(File("aside"), File(name));
    }
    EXPECT_TRUE(store.AnalizeFiExists());
}

TEST_F(ResultStoreTest, LoadsAnyLineEnding) {
    store.SetFiles("C:");
    WriteBytes(File("CDirs"), "C:\nC:\\a\rC:\\b");
    WriteBytes(File("CDirSizes"), "30\r\n20\r\n10");
    WriteBytes(File("CPercents"), "0\n66.6\r\n33.3\r");
    ASSERT_TRUE(store.LoadGlobal()) << store.LoadNotice;
    EXPECT_EQ((TStringList{"C:", "C:\\a", "C:\\b"}), store.GlobalDirs());
    EXPECT_EQ((TStringList{"30", "20", "10"}), store.GlobalDirSizes());
    EXPECT_EQ((TStringList{"0", "66.6", "33.3"}), store.GlobalPercents());
    EXPECT_EQ("", store.LoadNotice);
}

TEST_F(ResultStoreTest, SaveGlobalListsReplacesTheFiles) {
    SaveDriveC();
    ASSERT_TRUE(store.LoadGlobal());
    TStoredSet changed = store.Global();
    changed.Sizes.Set(1, "601");
    store.ReplaceGlobal(std::move(changed));
    ASSERT_TRUE(store.SaveGlobalSLS());
    EXPECT_EQ("1000\r\n601\r\n100\r\n0\r\n400\r\n", ReadBytes(File("CDirSizes")));
    EXPECT_EQ(JoinResultLines(kDirs), ReadBytes(File("CDirs")));
}

TEST_F(ResultStoreTest, ASaveIntoAFolderThatCannotBeWrittenLeavesTheEarlierFiles) {
    SaveDriveC();
    const std::string before[] = {ReadBytes(File("CPercents")), ReadBytes(File("CDirs")),
                                  ReadBytes(File("CDirSizes"))};
    ASSERT_EQ(0, chmod(folder.Path().c_str(), 0555));
    // The save runs in a child process; as root it first becomes "nobody",
    // for whom the read-only folder really is read-only.
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) {
            _exit(3);
        }
        store.ReplaceGlobal({{"C:"}, {"1"}, {"0"}});
        bool savedGlobal = store.SaveGlobalSLS();
        bool savedAnalysis = store.SaveAnalizeData({{"C:"}, {"1"}, {"0"}});
        _exit(savedGlobal || savedAnalysis ? 1 : 0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    chmod(folder.Path().c_str(), 0700);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(0, WEXITSTATUS(status)) << "1: a save reported success, 3: could not drop root";
    EXPECT_EQ(before[0], ReadBytes(File("CPercents")));
    EXPECT_EQ(before[1], ReadBytes(File("CDirs")));
    EXPECT_EQ(before[2], ReadBytes(File("CDirSizes")));
    EXPECT_EQ(4, std::distance(std::filesystem::directory_iterator(folder.Path()), {}));
}
