// The walk's allocated bytes against du and ncdu, its file sink against the
// sums, and a rescan's allocated bytes against a fresh scan.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>

#include <cstdlib>
#include <mutex>

#include "engine/AnalizeDisk.h"
#include "engine/DiskSizeList.h"
#include "engine/ExtraRescan.h"
#include "engine/FolderTree.h"
#include "platform/DriveForm.h"
#include "platform/DriveTable.h"
#include "tests/engine/DiskTree.h"
#include "tests/platform/TempDir.h"

namespace {

std::int64_t ValueOf(const TAnalizeDisk& a, const TStringList& list, const std::string& path) {
    for (std::size_t i = 0; i < a.Dirs().size(); ++i)
        if (a.Dirs()[i] == path)
            return std::stoll(std::string(list[i]));
    throw std::runtime_error("no folder " + path);
}

void ScanUsage(TAnalizeDisk& a, const std::string& directory, bool parallel) {
    a.Directory = directory;
    a.Recurse = true;
    a.ParallelWalk = parallel;
    a.WalkThreads = parallel ? 4 : 0;
    a.Execute();
}

// Every folder of the drive T: (mounted at root) against du, on the terms
// the lists use: folders' own blocks left out, hard links once. The
// tree's total against du -sx and ncdu; each folder sharing no hard link
// with another folder against du -s of it. File sizes are checked to be
// what the walk gives without looking at allocated bytes at all.
void ExpectTheSumsOfDu(const std::string& root) {
    TScopedDriveTable table(TDriveTable({{'C', "/"}, {'T', root}}));
    std::system("sync");
    const auto facts = disktree::Facts(root);
    for (const bool parallel : {false, true}) {
        SCOPED_TRACE(parallel ? "parallel walk" : "sequential walk");
        TAnalizeDisk a;
        ScanUsage(a, "T:\\", parallel);
        ASSERT_EQ(a.DiskSizes().size(), a.Dirs().size());
        const std::int64_t folders = facts.at(root).FolderBlocks;
        const std::int64_t total = ValueOf(a, a.DiskSizes(), "T:");
        EXPECT_EQ(total, disktree::Du(root, "-sx") - folders);
        EXPECT_EQ(total, disktree::NcduFileBytes(root));
        std::size_t compared = 0;
        for (const auto& [native, fact] : facts) {
            if (fact.SharesLinks)
                continue;
            const std::string path = "T:" + native.substr(root.size());
            std::string drive = path;
            for (char& c : drive)
                c = c == '/' ? '\\' : c;
            EXPECT_EQ(ValueOf(a, a.DiskSizes(), drive),
                      disktree::Du(native, "-s") - fact.FolderBlocks)
                << drive;
            ++compared;
        }
        EXPECT_GE(compared, 5u);
        // The sparse file's folder takes far less than its size says.
        EXPECT_LT(ValueOf(a, a.DiskSizes(), "T:\\vm"), 1 << 20);
        EXPECT_GT(ValueOf(a, a.DirSizes(), "T:\\vm"), std::int64_t{1} << 30);
    }
}

class DiskUsageTest : public ::testing::Test {
  protected:
    TTempDir dir_;
};

// Collects every file it is told of; merged sinks add up.
class TRecordingSink : public TFileSink {
  public:
    struct Seen {
        std::uint32_t Folder;
        std::string Name;
        std::int64_t Size, Allocated;
        bool Counted;
        std::uint32_t Names;
    };
    std::vector<Seen> Files;
    int Merges = 0;
    bool Finished = false;

    void File(const TWalkFile& f) override {
        Files.push_back({f.Folder, std::string(f.Name), f.Size, f.Allocated, f.Counted, f.Names});
    }
    void Merge(TFileSink& other) override {
        auto& o = static_cast<TRecordingSink&>(other);
        Files.insert(Files.end(), o.Files.begin(), o.Files.end());
        Merges += 1 + o.Merges;
    }
    void Finish(const TFolderTree& tree) override {
        Finished = true;
        for (Seen& s : Files)
            s.Name = tree.PathOf(s.Folder) + "\\" + s.Name;
    }
};

}  // namespace

TEST_F(DiskUsageTest, AllocatedBytesAreThoseOfDuAndNcdu) {
    disktree::Make(dir_.Path());
    ExpectTheSumsOfDu(dir_.Path());
}

// The same on real ext4 and btrfs file systems of their own, loop-mounted
// in a private mount namespace (root only).
TEST_F(DiskUsageTest, AllocatedBytesAreThoseOfDuOnExt4AndBtrfs) {
    if (geteuid() != 0 || unshare(CLONE_NEWNS) != 0 ||
        mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        GTEST_SKIP() << "no private mount namespace here (needs root)";
    for (const std::string fs : {"ext4", "btrfs"}) {
        SCOPED_TRACE(fs);
        const std::string image = dir_ / (fs + ".img"), mnt = dir_ / fs;
        dir_.MakeDir(fs);
        const std::string make = "truncate -s 300M " + image + " && mkfs." + fs + " -q " + image +
                                 " >/dev/null 2>&1 && mount -o loop " + image + " " + mnt;
        if (std::system(make.c_str()) != 0) {
            ADD_FAILURE() << "cannot make and mount a " << fs << " image: " << make;
            continue;
        }
        disktree::Make(mnt);
        ExpectTheSumsOfDu(mnt);
        std::system(("umount " + mnt).c_str());
    }
}

// Every file reaches the sinks once, from every walking thread, a
// hard-linked one at the name that counts with the count of its names;
// they add up to the folders' sums.
TEST_F(DiskUsageTest, TheFileSinkSeesEveryFileOnceAndCountsEveryName) {
    disktree::Make(dir_.Path());
    TScopedDriveTable table(TDriveTable({{'C', "/"}, {'T', dir_.Path()}}));
    for (const bool parallel : {false, true}) {
        SCOPED_TRACE(parallel ? "parallel walk" : "sequential walk");
        TAnalizeDisk a;
        a.MakeFileSink = [] { return std::make_unique<TRecordingSink>(); };
        ScanUsage(a, "T:\\", parallel);
        std::unique_ptr<TFileSink> taken = a.TakeFileSink();
        auto* sink = dynamic_cast<TRecordingSink*>(taken.get());
        ASSERT_NE(sink, nullptr);
        EXPECT_TRUE(sink->Finished);
        EXPECT_EQ(sink->Merges > 0, parallel);
        // 2 + 60 + 5 + 1 + 1 + 2 + 1 + the link to a file, as 71 files.
        EXPECT_EQ(sink->Files.size(), 71u);
        std::int64_t size = 0, allocated = 0;
        std::set<std::string> counted;
        std::uint32_t names = 0;
        for (const auto& f : sink->Files) {
            names += f.Names;
            if (!f.Counted)
                continue;
            counted.insert(f.Name);
            size += f.Size;
            allocated += f.Allocated;
        }
        EXPECT_EQ(names, 73u);
        EXPECT_EQ(counted.size(), 71u);
        // Each linked file counts where its path sorts first.
        EXPECT_TRUE(counted.count("T:\\a\\shared") && counted.count("T:\\c\\x"));
        EXPECT_EQ(size, ValueOf(a, a.DirSizes(), "T:"));
        EXPECT_EQ(allocated, ValueOf(a, a.DiskSizes(), "T:"));
    }
}

// A folder rescanned after its files changed, merged into the drive's
// lists, gives the allocated bytes a fresh scan of the drive gives.
TEST_F(DiskUsageTest, ARescanMergesAllocatedBytesAsAFreshScanHasThem) {
    disktree::Make(dir_.Path());
    TScopedDriveTable table(TDriveTable({{'C', "/"}, {'T', dir_.Path()}}));
    TAnalizeDisk drive;
    ScanUsage(drive, "T:\\", true);
    // The changes: a new sparse file, a removed file, a new folder below.
    disktree::Sparse(dir_ / "small/deeper/new", 1 << 24, {0, 1 << 22});
    std::remove((dir_ / "small/f3").c_str());
    disktree::Folder(dir_ / "small/deeper/more");
    disktree::Plain(dir_ / "small/deeper/more/m", 70000);
    TAnalizeDisk rescan;
    ScanUsage(rescan, "T:\\small", true);
    TExtraLists stored = {{std::string(kDiskSizesRole), drive.DiskSizes()}};
    AppendRescanWithExtras(drive.Dirs(), drive.DirSizes(), drive.Percents(), stored, rescan.Dirs(),
                           rescan.DirSizes(), rescan.Percents(),
                           {{std::string(kDiskSizesRole), rescan.DiskSizes()}});
    TAnalizeDisk fresh;
    ScanUsage(fresh, "T:\\", false);
    EXPECT_EQ(drive.Dirs(), fresh.Dirs());
    EXPECT_EQ(drive.DirSizes(), fresh.DirSizes());
    EXPECT_EQ(stored.at(std::string(kDiskSizesRole)), fresh.DiskSizes());
}
