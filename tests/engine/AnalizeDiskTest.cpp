#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "engine/AnalizeDisk.h"
#include "platform/DriveTable.h"
#include "tests/engine/RandomTree.h"
#include "tests/platform/TempDir.h"

namespace {

// A small drive T: in a temporary folder.
class AnalizeDiskTest : public ::testing::Test {
  protected:
    AnalizeDiskTest() : table_(TDriveTable({{'C', "/"}, {'T', dir_.Path()}})) {}

    std::string SizeOf(const TAnalizeDisk& a, const std::string& path) const {
        for (size_t i = 0; i < a.Dirs().size(); ++i)
            if (a.Dirs()[i] == path)
                return std::string(a.DirSizes()[i]);
        return "<missing>";
    }
    std::string PercentOf(const TAnalizeDisk& a, const std::string& path) const {
        for (size_t i = 0; i < a.Dirs().size(); ++i)
            if (a.Dirs()[i] == path)
                return std::string(a.Percents()[i]);
        return "<missing>";
    }

    TTempDir dir_;
    TScopedDriveTable table_;
};

}  // namespace

TEST_F(AnalizeDiskTest, ANewAnalyzerTakesEveryFileWithoutRecursingAndHoldsNoResults) {
    TAnalizeDisk a;
    EXPECT_EQ(a.Attributes, (TAttrOptions{ffReadOnly, ffHidden, ffSysFile}));
    EXPECT_EQ(a.Directory, "");
    EXPECT_EQ(a.Filter, "*.*");
    EXPECT_FALSE(a.Recurse);
    EXPECT_FALSE(a.Sorted);
    EXPECT_FALSE(a.StrictRO);
    EXPECT_FALSE(a.Cancel);
    EXPECT_TRUE(a.Dirs().empty());
    for (int k = 0; k < 256; ++k) {
        EXPECT_EQ(a.First()[k], 0);
        EXPECT_EQ(a.Last()[k], 0);
    }
}

TEST_F(AnalizeDiskTest, EmptyDirectorySkipsTheWalkButFiresBothEvents) {
    TAnalizeDisk a;
    int before = 0, after = 0;
    a.BeforeExecute = [&](TAnalizeDisk*) { ++before; };
    a.AfterExecute = [&](TAnalizeDisk* sender) {
        ++after;
        EXPECT_EQ(sender, &a);
    };
    a.Execute();
    EXPECT_EQ(before, 1);
    EXPECT_EQ(after, 1);
    EXPECT_TRUE(a.Dirs().empty());
}

TEST_F(AnalizeDiskTest, DriveScanTotalsSharesAndOrder) {
    dir_.MakeFile("root.bin", 100);
    dir_.MakeDir("A");
    dir_.MakeFile("A/a", 300);
    dir_.MakeDir("A B");
    dir_.MakeFile("A B/x", 50);
    dir_.MakeDir("A/X");
    dir_.MakeFile("A/X/deep", 100);
    dir_.MakeDir("Empty");
    dir_.MakeDir("Data");
    dir_.MakeDir("data");
    dir_.MakeFile("data/twin", 7);
    dir_.MakeFile(".hidden", 43);
    TAnalizeDisk a;
    a.Directory = "T:\\";
    a.Recurse = true;
    a.Execute();
    EXPECT_EQ(a.Dirs(), (TStringList{"T:", "T:\\A", "T:\\A B", "T:\\A\\X", "T:\\Data", "T:\\Empty",
                                     "T:\\data"}));
    EXPECT_EQ(SizeOf(a, "T:"), "600");
    EXPECT_EQ(PercentOf(a, "T:"), "0");
    EXPECT_EQ(SizeOf(a, "T:\\A"), "400");
    EXPECT_EQ(PercentOf(a, "T:\\A"), "66.6666641235352");
    EXPECT_EQ(PercentOf(a, "T:\\A\\X"), "25");
    EXPECT_EQ(SizeOf(a, "T:\\A B"), "50");
    EXPECT_EQ(SizeOf(a, "T:\\Data"), "0");
    EXPECT_EQ(SizeOf(a, "T:\\data"), "7");
    EXPECT_EQ(PercentOf(a, "T:\\Empty"), "0");
    EXPECT_EQ(a.First()['A'], 1);
    EXPECT_EQ(a.Last()['A'], 3);
    EXPECT_EQ(a.First()['D'], 4);
    EXPECT_EQ(a.First()['Z'], 7);
    EXPECT_EQ(a.Last()['Z'], 0);
}

TEST_F(AnalizeDiskTest, StartFolderKeepsTheCaseItWasGivenIn) {
    dir_.MakeDir("Data");
    dir_.MakeDir("Data/Sub");
    dir_.MakeFile("Data/Sub/f", 10);
    dir_.MakeFile("Data/g", 30);
    TAnalizeDisk a;
    a.Directory = "t:\\Data\\";
    a.Recurse = true;
    a.Execute();
    EXPECT_EQ(a.Dirs(), (TStringList{"t:\\Data", "t:\\Data\\Sub"}));
    EXPECT_EQ(a.DirSizes(), (TStringList{"40", "10"}));
    EXPECT_EQ(a.Percents(), (TStringList{"0", "25"}));
}

TEST_F(AnalizeDiskTest, RecurseOffMeasuresOneFolder) {
    dir_.MakeDir("Sub");
    dir_.MakeFile("Sub/f", 10);
    dir_.MakeFile("g", 30);
    TAnalizeDisk a;
    a.Directory = "T:";
    a.Execute();
    EXPECT_EQ(a.Dirs(), (TStringList{"T:"}));
    EXPECT_EQ(a.DirSizes(), (TStringList{"30"}));
    EXPECT_EQ(a.Percents(), (TStringList{"0"}));
}

TEST_F(AnalizeDiskTest, FilterPartsGiveOneEntryEach) {
    EXPECT_EQ(TAnalizeDisk::FilterParts("*.txt; *.log ;;  "),
              (std::vector<std::string>{"*.txt", "*.log"}));
    EXPECT_TRUE(TAnalizeDisk::FilterParts("").empty());
    EXPECT_TRUE(TAnalizeDisk::FilterParts(" ; ").empty());
    dir_.MakeFile("a.txt", 1);
    dir_.MakeFile("b.log", 10);
    dir_.MakeFile("noext", 100);
    dir_.MakeDir("Sub");
    dir_.MakeFile("Sub/c.txt", 1000);
    TAnalizeDisk a;
    a.Directory = "T:\\";
    a.Recurse = true;
    a.Filter = "*.txt; *.*";
    a.Execute();
    ASSERT_EQ(a.Dirs(), (TStringList{"T:", "T:", "T:\\Sub", "T:\\Sub"}));
    // Each drive-root entry adds every entry below it, of either part.
    std::vector<std::string_view> rootSizes{a.DirSizes()[0], a.DirSizes()[1]};
    std::sort(rootSizes.begin(), rootSizes.end());
    EXPECT_EQ(rootSizes, (std::vector<std::string_view>{"2001", "2111"}));
    TAnalizeDisk none;
    none.Directory = "T:\\";
    none.Filter = " ";
    none.Execute();
    EXPECT_TRUE(none.Dirs().empty());
}

TEST_F(AnalizeDiskTest, AttributeMaskDecidesWhatCounts) {
    dir_.MakeFile(".hidden", 1);
    dir_.MakeFile("plain", 10);
    ASSERT_EQ(mkfifo((dir_ / "fifo").c_str(), 0644), 0);
    dir_.MakeDir("sub");
    TAnalizeDisk a;
    a.Directory = "T:";
    a.Attributes = {ffReadOnly, ffSysFile};
    a.Execute();
    EXPECT_EQ(a.AttributeMask(), 0x05u);
    EXPECT_EQ(a.DirSizes(), (TStringList{"10"}));
    a.Attributes = {ffReadOnly, ffHidden, ffSysFile, ffVolumeID, ffDirectory};
    a.Execute();
    EXPECT_EQ(a.AttributeMask(), 0x1Fu);
    // A folder adds the size the listing gives it: 0.
    EXPECT_EQ(a.DirSizes(), (TStringList{"11"}));
}

TEST_F(AnalizeDiskTest, NewPathSeesEveryFolderAndAbortEndsTheWalk) {
    dir_.MakeDir("a");
    dir_.MakeDir("b");
    dir_.MakeDir("a/c");
    dir_.MakeFile("a/f", 5);
    dir_.MakeFile("b/f", 7);
    std::vector<std::string> seen;
    TAnalizeDisk a;
    a.Directory = "T:\\";
    a.Recurse = true;
    a.OnNewPath = [&](TAnalizeDisk*, const std::string& p, bool&) { seen.push_back(p); };
    a.Execute();
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0], "T:\\");
    // Breadth-first: both children of the root before the grandchild.
    EXPECT_EQ(seen[3], "T:\\a\\c\\");
    EXPECT_FALSE(a.Aborted());

    // Abort at the root's second child: the root and its first child keep
    // their entries, the rest of the walk is dropped.
    seen.clear();
    a.OnNewPath = [&](TAnalizeDisk*, const std::string& p, bool& abort) {
        seen.push_back(p);
        abort = seen.size() == 3;
    };
    int after = 0;
    a.AfterExecute = [&](TAnalizeDisk*) { ++after; };
    a.Execute();
    EXPECT_TRUE(a.Aborted());
    EXPECT_EQ(after, 1);
    ASSERT_EQ(seen.size(), 3u);
    const std::string first = seen[1].substr(0, seen[1].size() - 1);
    EXPECT_EQ(a.Dirs(), (TStringList{"T:", first}));
    EXPECT_EQ(a.DirSizes()[0], first == "T:\\a" ? "5" : "7");
    EXPECT_EQ(a.Percents()[1], "100");
}

TEST_F(AnalizeDiskTest, SortedQueueWalksInCaseInsensitiveOrder) {
    for (const char* d : {"b", "C", "a", "B2"})
        dir_.MakeDir(d);
    dir_.MakeDir("a/z");
    std::vector<std::string> seen;
    TAnalizeDisk a;
    a.Directory = "T:";
    a.Recurse = true;
    a.Sorted = true;
    a.OnNewPath = [&](TAnalizeDisk*, const std::string& p, bool&) { seen.push_back(p); };
    a.Execute();
    EXPECT_EQ(seen, (std::vector<std::string>{"T:\\", "T:\\a\\", "T:\\a\\z\\", "T:\\b\\",
                                              "T:\\B2\\", "T:\\C\\"}));
    EXPECT_EQ(a.Dirs().size(), 6u);
}

TEST_F(AnalizeDiskTest, CancelBeforeTheRunStillFiresAfterExecuteOnce) {
    dir_.MakeDir("a");
    TAnalizeDisk a;
    a.Directory = "T:";
    a.Recurse = true;
    a.Cancel = true;
    int after = 0;
    a.AfterExecute = [&](TAnalizeDisk* s) {
        ++after;
        EXPECT_TRUE(s->Cancel);
    };
    a.Execute();
    EXPECT_EQ(after, 1);
    // The walk ended before the first folder's files were read.
    EXPECT_TRUE(a.Dirs().empty());
    EXPECT_TRUE(a.Cancel);  // never reset by a run
}

// A cancel set while the walk is under way (here by the walking thread
// itself, at the 20th folder) ends the run once the folders in hand are
// done: each of the other three walking threads lists at most one more.
TEST(AnalizeDiskCancel, CancelDuringTheWalkEndsItAtOnce) {
    TTempDir dir;
    MakeRandomTree(dir / "tree", 3, 400, 400);
    TScopedDriveTable table(TDriveTable({{'C', "/"}, {'T', dir / "tree"}}));
    for (bool parallel : {true, false}) {
        SCOPED_TRACE(parallel ? "parallel" : "sequential");
        TAnalizeDisk a;
        a.Directory = "T:";
        a.Recurse = true;
        a.ParallelWalk = parallel;
        // Four threads, whatever the machine would choose, so that the
        // bound below is the same on every machine.
        a.WalkThreads = 4;
        int after = 0;
        a.AfterExecute = [&](TAnalizeDisk*) { ++after; };
        a.OnFolderListed = [&](std::uint64_t folders) {
            if (folders == 20)
                a.Cancel = true;
        };
        a.Execute();
        EXPECT_EQ(after, 1);
        EXPECT_TRUE(a.Cancel);
        EXPECT_GE(a.FoldersWalked(), 20u);
        EXPECT_LE(a.FoldersWalked(), 20u + 4u);  // of the tree's 401
    }
}

// The progress counters: every folder listed, every file that takes part
// and its bytes, the same in every walk and anew in every run.
TEST_F(AnalizeDiskTest, WalkCountsFoldersFilesAndBytes) {
    dir_.MakeFile("root.bin", 100);
    dir_.MakeDir("A");
    dir_.MakeFile("A/a.txt", 300);
    dir_.MakeFile("A/.hidden", 7);
    dir_.MakeFile("A/empty", 0);
    dir_.MakeDir("A/X");
    dir_.MakeFile("A/X/deep.bin", 100);
    dir_.MakeDir("A/X/Y");
    dir_.MakeDir("B");
    dir_.MakeFile("B/b", 1000);
    struct Walk {
        bool parallel, sorted;
    };
    for (const Walk w : {Walk{true, false}, Walk{false, false}, Walk{false, true}}) {
        TAnalizeDisk a;
        a.Directory = "T:";
        a.Recurse = true;
        a.ParallelWalk = w.parallel;
        a.Sorted = w.sorted;
        for (int run = 0; run < 2; ++run) {
            a.Execute();
            EXPECT_EQ(a.FoldersWalked(), 5u) << w.parallel << w.sorted << run;
            EXPECT_EQ(a.FilesWalked(), 6u) << w.parallel << w.sorted << run;
            EXPECT_EQ(a.BytesWalked(), 1507u) << w.parallel << w.sorted << run;
            EXPECT_EQ(std::to_string(a.BytesWalked()), a.DirSizes()[0]);
        }
    }

    // Only what takes part is counted: hidden files left out, a filter.
    TAnalizeDisk noHidden;
    noHidden.Directory = "T:";
    noHidden.Recurse = true;
    noHidden.Attributes = {ffReadOnly, ffSysFile};
    noHidden.Execute();
    EXPECT_EQ(noHidden.FilesWalked(), 5u);
    EXPECT_EQ(noHidden.BytesWalked(), 1500u);
    TAnalizeDisk filtered;
    filtered.Directory = "T:";
    filtered.Recurse = true;
    filtered.Filter = "*.bin; *.bin; *.txt";  // a file matching two parts counts once
    filtered.Execute();
    EXPECT_EQ(filtered.FoldersWalked(), 5u);
    EXPECT_EQ(filtered.FilesWalked(), 3u);
    EXPECT_EQ(filtered.BytesWalked(), 500u);

    // Without Recurse the one folder listed is counted too.
    TAnalizeDisk flat;
    flat.Directory = "T:\\A";
    flat.Execute();
    EXPECT_EQ(flat.FoldersWalked(), 1u);
    EXPECT_EQ(flat.FilesWalked(), 3u);
    EXPECT_EQ(flat.BytesWalked(), 307u);
}
