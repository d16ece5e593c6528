#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "engine/AnalizeDisk.h"
#include "platform/DriveForm.h"
#include "platform/DriveTable.h"
#include "tests/engine/RandomTree.h"
#include "tests/platform/TempDir.h"

namespace {

class WalkSafetyTest : public ::testing::Test {
  protected:
    WalkSafetyTest() : table_(TDriveTable({{'C', "/"}, {'T', dir_.Path()}})) {}

    void Scan(TAnalizeDisk& a, const std::string& directory = "T:\\") {
        a.Directory = directory;
        a.Recurse = true;
        a.Execute();
    }
    static std::string SizeOf(const TAnalizeDisk& a, const std::string& path) {
        for (size_t i = 0; i < a.Dirs().size(); ++i)
            if (a.Dirs()[i] == path)
                return std::string(a.DirSizes()[i]);
        return "<missing>";
    }

    TTempDir dir_;
    TScopedDriveTable table_;
};

}  // namespace

TEST_F(WalkSafetyTest, SymlinkLoopIsNotFollowed) {
    dir_.MakeDir("a");
    dir_.MakeDir("a/b");
    dir_.MakeFile("a/b/f", 100);
    ASSERT_EQ(symlink("../..", (dir_ / "a/b/up").c_str()), 0);
    ASSERT_EQ(symlink("b", (dir_ / "a/self").c_str()), 0);
    for (bool parallel : {true, false}) {
        TAnalizeDisk a;
        a.ParallelWalk = parallel;
        Scan(a);
        EXPECT_EQ(a.Dirs(), (TStringList{"T:", "T:\\a", "T:\\a\\b"}));
        // The links count as small entries of their own (5 and 1 bytes).
        EXPECT_EQ(SizeOf(a, "T:\\a\\b"), "105");
        EXPECT_EQ(SizeOf(a, "T:"), "106");
    }
}

TEST_F(WalkSafetyTest, HardLinkedFileCountsOnceInTheFirstSortingFolder) {
    dir_.MakeDir("b");
    dir_.MakeDir("a");
    dir_.MakeDir("a/deep");
    dir_.MakeFile("b/file", 1000);
    ASSERT_EQ(link((dir_ / "b/file").c_str(), (dir_ / "a/deep/file").c_str()), 0);
    ASSERT_EQ(link((dir_ / "b/file").c_str(), (dir_ / "b/again").c_str()), 0);
    for (bool parallel : {true, false}) {
        TAnalizeDisk a;
        a.ParallelWalk = parallel;
        Scan(a);
        // T:\a\deep sorts before T:\b, though it is found later.
        EXPECT_EQ(SizeOf(a, "T:\\a\\deep"), "1000");
        EXPECT_EQ(SizeOf(a, "T:\\b"), "0");
        EXPECT_EQ(SizeOf(a, "T:"), "1000");
    }
}

TEST_F(WalkSafetyTest, UnreadableFolderCountsZeroForAnUnprivilegedUser) {
    dir_.MakeDir("open");
    dir_.MakeFile("open/f", 10);
    dir_.MakeDir("closed");
    dir_.MakeDir("closed/inner");
    dir_.MakeFile("closed/secret", 5000);
    chmod((dir_ / "closed").c_str(), 0);
    // The result travels back from the child through a file it may write.
    const std::string out = dir_ / "result.txt";
    dir_.MakeFile("result.txt", 0);
    chmod(out.c_str(), 0666);
    const int status = RunInChild([&] {
        if (!DropPrivileges())
            return 2;
        TAnalizeDisk a;
        Scan(a);
        std::ofstream f(out);
        for (size_t i = 0; i < a.Dirs().size(); ++i)
            f << a.Dirs()[i] << '=' << a.DirSizes()[i] << '\n';
        return 0;
    });
    chmod((dir_ / "closed").c_str(), 0755);
    ASSERT_EQ(status, 0);
    std::ifstream f(out);
    std::string all((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    // result.txt was still empty during the scan.
    EXPECT_EQ(all, "T:=10\nT:\\closed=0\nT:\\open=10\n");
}

TEST_F(WalkSafetyTest, OddNamesRoundTripThroughTheLists) {
    const std::vector<std::string> names = {"back\\slash", "cr\rlf\n", "100% done",
                                            "cost $HOME",  " spaced ", "caf\xe9"};
    for (size_t i = 0; i < names.size(); ++i) {
        dir_.MakeDir(names[i]);
        dir_.MakeFile(names[i] + "/f", static_cast<long long>(i + 1));
    }
    TAnalizeDisk a;
    Scan(a);
    ASSERT_EQ(a.Dirs().size(), names.size() + 1);
    for (size_t i = 1; i < a.Dirs().size(); ++i) {
        const std::string d(a.Dirs()[i]);
        EXPECT_EQ(d.find_first_of("\r\n"), std::string::npos);
        const auto native = DriveFormToNative(d);
        ASSERT_TRUE(native.has_value()) << d;
        struct stat st;
        ASSERT_EQ(stat(native->c_str(), &st), 0) << *native;
        EXPECT_TRUE(S_ISDIR(st.st_mode));
        struct stat f;
        ASSERT_EQ(stat((*native + "/f").c_str(), &f), 0);
        EXPECT_EQ(a.DirSizes()[i], std::to_string(f.st_size));
    }
    EXPECT_EQ(SizeOf(a, "T:\\back%5Cslash"), "1");
    EXPECT_EQ(SizeOf(a, "T:\\cr%0Dlf%0A"), "2");
    EXPECT_EQ(SizeOf(a, "T:\\100%25 done"), "3");
}

// Another file system mounted inside the tree is neither entered nor
// counted. Needs a private mount namespace (root or user namespaces).
TEST_F(WalkSafetyTest, NestedMountIsNotEntered) {
    dir_.MakeDir("outer");
    dir_.MakeFile("outer/f", 10);
    dir_.MakeDir("outer/mnt");
    const std::string out = dir_ / "result.txt";
    const int status = RunInChild([&] {
        if (unshare(CLONE_NEWNS) != 0)
            return 77;
        if (mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            return 77;
        if (mount("tmpfs", (dir_ / "outer/mnt").c_str(), "tmpfs", 0, "size=4m") != 0)
            return 77;
        dir_.MakeDir("outer/mnt/inside");
        dir_.MakeFile("outer/mnt/inside/big", 1000000);
        std::ofstream f(out);
        for (bool parallel : {true, false}) {
            TAnalizeDisk a;
            a.ParallelWalk = parallel;
            Scan(a);
            for (size_t i = 0; i < a.Dirs().size(); ++i)
                f << a.Dirs()[i] << '=' << a.DirSizes()[i] << ';';
            f << '\n';
        }
        return 0;
    });
    if (status == 77)
        GTEST_SKIP() << "no private mount namespace here (needs root): nested mount not tested";
    ASSERT_EQ(status, 0);
    std::ifstream f(out);
    std::string parallel, sequential;
    std::getline(f, parallel);
    std::getline(f, sequential);
    EXPECT_EQ(parallel, "T:=10;T:\\outer=10;");
    EXPECT_EQ(sequential, parallel);
}

// The parallel walk gives exactly the sequential walk's lists, on a tree
// with case twins, odd names, hidden folders, links and hard links.
TEST_F(WalkSafetyTest, ParallelWalkEqualsSequentialWalk) {
    MakeRandomTree(dir_ / "tree", 5, 300, 3000);
    for (const char* filter : {"*.*", "*.txt; *"}) {
        TAnalizeDisk par, seq;
        par.Filter = seq.Filter = filter;
        seq.ParallelWalk = false;
        Scan(par, "T:\\tree");
        Scan(seq, "T:\\tree");
        ASSERT_GT(par.Dirs().size(), 100u);
        EXPECT_EQ(par.Dirs(), seq.Dirs()) << filter;
        EXPECT_EQ(par.DirSizes(), seq.DirSizes()) << filter;
        EXPECT_EQ(par.Percents(), seq.Percents()) << filter;
        EXPECT_EQ(par.First(), seq.First());
        EXPECT_EQ(par.Last(), seq.Last());
    }
}

namespace {

// Nested folders of 200-byte names below the open folder At, made with
// mkdirat and openat (their paths soon exceed PATH_MAX). Every level has a
// file of its own size and a side folder holding a 3-byte file; the deepest
// level holds one more file. Returns the bytes made, or -1 on failure.
long long MakeDeepChain(int at, char letter, int depth, int& folders) {
    long long bytes = 0;
    int fd = dup(at);
    for (int level = 1; level <= depth && fd >= 0; ++level) {
        const std::string name =
            std::string(1, letter) + std::to_string(level) + std::string(197, 'd');
        const std::string side = std::string(1, letter) + std::to_string(level) + "side";
        const long long own = level * 1000 + letter;
        int file = openat(fd, (std::string(1, letter) + "f" + std::to_string(level)).c_str(),
                          O_CREAT | O_WRONLY, 0644);
        if (file < 0 || ftruncate(file, own) != 0 || mkdirat(fd, name.c_str(), 0755) != 0 ||
            mkdirat(fd, side.c_str(), 0755) != 0) {
            close(file);
            close(fd);
            return -1;
        }
        close(file);
        file = openat(fd, (side + "/three").c_str(), O_CREAT | O_WRONLY, 0644);
        if (file < 0 || ftruncate(file, 3) != 0)
            fd = -1;
        close(file);
        bytes += own + 3;
        folders += 2;
        const int next = fd >= 0 ? openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY) : -1;
        close(fd);
        fd = next;
    }
    if (fd < 0)
        return -1;
    const int file = openat(fd, "bottom", O_CREAT | O_WRONLY, 0644);
    const bool ok = file >= 0 && ftruncate(file, 777) == 0;
    close(file);
    close(fd);
    return ok ? bytes + 777 : -1;
}

}  // namespace

// Folders far below PATH_MAX are walked like any other, whichever thread
// takes them: every walk (sequential, and parallel with few and many
// threads, so that folders are handed between threads and past each
// thread's open-depth limit) finds every folder and every byte.
TEST_F(WalkSafetyTest, FoldersBeyondPathMaxAreWalkedAtEveryDepth) {
    const int root = open(dir_.Path().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(root, 0);
    long long total = 0;
    int folders = 0;
    // Chains of 22 and 70 levels (4.4 and 14 KB of path).
    for (char letter : {'a', 'b', 'c', 'd', 'e'}) {
        const long long made = MakeDeepChain(root, letter, letter == 'c' ? 70 : 22, folders);
        ASSERT_GE(made, 0) << "could not build the deep tree";
        total += made;
    }
    close(root);
    TAnalizeDisk seq;
    seq.ParallelWalk = false;
    Scan(seq);
    ASSERT_EQ(seq.Dirs().size(), static_cast<size_t>(folders) + 1);
    EXPECT_EQ(SizeOf(seq, "T:"), std::to_string(total));
    for (int threads : {2, 8, 32}) {
        TAnalizeDisk par;
        par.WalkThreads = threads;
        Scan(par);
        EXPECT_EQ(par.Dirs(), seq.Dirs()) << threads << " threads";
        EXPECT_EQ(par.DirSizes(), seq.DirSizes()) << threads << " threads";
        EXPECT_EQ(par.Percents(), seq.Percents()) << threads << " threads";
    }
}
