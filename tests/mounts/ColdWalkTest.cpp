// A walk of a file system just mounted from a loop image: nothing of it is
// in memory, so the walk reads from the disk, starts its other threads and
// still lists the tree exactly as one thread does. Walked again, warm, it
// keeps to its warm threads. Needs root for the loop mount; skipped where
// the machine refuses.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include "engine/FileSink.h"
#include "engine/FolderTree.h"
#include "engine/TreeWalk.h"
#include "platform/DriveTable.h"
#include "tests/engine/RandomTree.h"
#include "tests/mounts/DriveWalk.h"

namespace {

bool Shell(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// Counts the walking threads that saw a file: a walk gives each thread a
// sink of its own.
class TThreadCounter : public TFileSink {
  public:
    explicit TThreadCounter(std::atomic<int>& threads) : threads_(threads) {}
    void File(const TWalkFile&) override {
        if (!seen_)
            threads_.fetch_add(1);
        seen_ = true;
    }
    void Merge(TFileSink&) override {}

  private:
    std::atomic<int>& threads_;
    bool seen_ = false;
};

struct TWalked {
    std::map<std::string, long long> Own;  // each listed folder's own bytes
    int Threads = 0;                       // those that saw a file
};

TWalked Walk(const std::string& native, int threads, int warm) {
    TScopedDriveTable table(TDriveTable({{'T', native}}));
    std::atomic<int> seen{0};
    TWalkSettings s = DriveWalkSettings(threads);
    s.WarmThreads = warm;
    s.MakeSink = [&seen] { return std::make_unique<TThreadCounter>(seen); };
    TFolderTree tree;
    bool abort = false;
    WalkFolders(s, tree, abort);
    TWalked walked;
    for (std::uint32_t n = 0; n < tree.Nodes.size(); ++n)
        if (tree.Nodes[n].Listed)
            walked.Own[tree.PathOf(n)] = tree.Own[n];
    walked.Threads = seen.load();
    return walked;
}

}  // namespace

TEST(ColdWalk, GrowsOnceItReadsTheDiskAndListsAsOneThread) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root for loop mounts";
    if (!Shell("command -v mkfs.ext4"))
        GTEST_SKIP() << "mkfs.ext4 is not installed (deps/debian-packages.txt lists e2fsprogs)";
    if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr))
        GTEST_SKIP() << "this machine does not allow a private mount namespace";
    char pattern[] = "/tmp/cq-cold-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern, img = dir + "/ext4.img", mnt = dir + "/mnt";
    // The image lives on a tmpfs of the namespace: nothing is left behind.
    ASSERT_TRUE(Shell("mount -t tmpfs cqcold '" + dir + "'"));
    ASSERT_TRUE(Shell("mkdir '" + mnt + "' && truncate -s 96M '" + img + "' && mkfs.ext4 -q '" +
                      img + "'"));
    if (!Shell("mount -o loop '" + img + "' '" + mnt + "'")) {
        Shell("umount '" + dir + "'");
        GTEST_SKIP() << "an ext4 image could not be loop-mounted here";
    }
    MakeRandomTree(mnt + "/tree", 17, 600, 6000);
    // Mounted afresh, on a new loop device: none of it is in memory.
    ASSERT_TRUE(Shell("umount '" + mnt + "' && mount -o loop,ro '" + img + "' '" + mnt + "'"));

    const TWalked cold = Walk(mnt, 8, 2);
    const TWalked warm = Walk(mnt, 8, 2);
    const TWalked single = Walk(mnt, 1, 0);
    Shell("umount -R '" + dir + "'");
    rmdir(dir.c_str());

    ASSERT_GT(single.Own.size(), 500u);
    EXPECT_EQ(cold.Own, single.Own);
    EXPECT_EQ(warm.Own, single.Own);
    EXPECT_GT(cold.Threads, 2);
    EXPECT_LE(warm.Threads, 2);
}
