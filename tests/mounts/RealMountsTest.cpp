// The drive table and the walk on real file systems that the test makes and
// mounts in a private mount namespace: a loop-mounted btrfs with subvolumes,
// a read-only snapshot, a .snapshots mount and a bind mount; a squashfs
// image; a tmpfs. Each test case runs as a process of its own, so the
// namespace and its loop devices go away with it.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <numeric>
#include <set>
#include <string>

#include "engine/TreeWalk.h"
#include "platform/DirListing.h"
#include "platform/DriveTable.h"
#include "platform/MountTable.h"
#include "tests/mounts/DriveWalk.h"

namespace {

std::string Output(const std::string& command) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (!p)
        return out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        out.append(buf, n);
    pclose(p);
    return out;
}

bool Sh(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

void WriteFile(const std::string& path, size_t size, char fill = 'x') {
    std::ofstream(path, std::ios::binary) << std::string(size, fill);
}

// The bytes du --apparent-size gives for the files of one device of a place:
// du also counts each folder's own size, which a walk does not, so the
// folders' sizes (from find, on the same device: find also names the mount
// points it does not enter) are taken off.
long long DuFiles(const std::string& place, const std::string& exclude = "") {
    const std::string ex = exclude.empty() ? "" : " --exclude='" + exclude + "'";
    const long long du =
        std::atoll(Output("du --apparent-size -s -b -x" + ex + " '" + place + "'").c_str());
    const std::string notEx = exclude.empty() ? "" : " -name '" + exclude + "' -prune -o";
    const std::string device = Output("stat -c %d '" + place + "'");
    const std::string dirs =
        Output("find '" + place + "' -xdev" + notEx + " -type d -printf '%D %s\\n'");
    long long dirBytes = 0;
    size_t start = 0;
    for (size_t nl; (nl = dirs.find('\n', start)) != std::string::npos; start = nl + 1) {
        const std::string line = dirs.substr(start, nl - start);
        const size_t blank = line.find(' ');
        if (std::atoll(line.c_str()) == std::atoll(device.c_str()))
            dirBytes += std::atoll(line.c_str() + blank + 1);
    }
    return du - dirBytes;
}

class RealMounts : public ::testing::Test {
  protected:
    void SetUp() override {
        if (geteuid() != 0)
            GTEST_SKIP() << "needs root for loop mounts (run as root or in a root container)";
        for (const char* tool : {"mkfs.btrfs", "btrfs", "mksquashfs", "du", "find"})
            if (!Sh(std::string("command -v ") + tool))
                GTEST_SKIP() << tool << " is not installed (deps/debian-packages.txt lists it)";
        if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr))
            GTEST_SKIP() << "this machine does not allow a private mount namespace (unshare -m)";
        char pattern[] = "/tmp/cq-mounts-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        // The images live on a tmpfs of the namespace: nothing is left behind.
        ASSERT_TRUE(Sh("mount -t tmpfs cqimages '" + dir_ + "'"));
        root_ = dir_ + "/root";
        if (!MakeBtrfs())
            GTEST_SKIP() << "a btrfs image could not be loop-mounted here (no loop devices, or "
                            "no btrfs in this kernel)";
        if (!MakeOthers())
            GTEST_SKIP() << "a squashfs image or a tmpfs could not be mounted here";
    }
    void TearDown() override {
        if (!dir_.empty())
            Sh("umount -R '" + dir_ + "'; rmdir '" + dir_ + "'");
    }

    // The drive's file system: subvolume @ at root/, @home at root/home,
    // @snaps (holding a read-only snapshot of @home) at root/.snapshots,
    // a nested subvolume and a nested read-only snapshot of it inside @,
    // and a bind mount of root/data at root/bind.
    bool MakeBtrfs() {
        const std::string img = dir_ + "/btrfs.img", top = dir_ + "/top";
        if (!Sh("truncate -s 160M '" + img + "' && mkfs.btrfs -q -f '" + img + "'") ||
            !Sh("mkdir '" + top + "' '" + root_ + "'") ||
            !Sh("mount -o loop '" + img + "' '" + top + "'"))
            return false;
        for (const char* sv : {"@", "@home", "@snaps"})
            if (!Sh("btrfs subvolume create '" + top + "/" + sv + "'"))
                return false;
        Sh("mkdir -p '" + top + "/@/data/deep' '" + top + "/@home/u' '" + top + "/@/home' '" + top +
           "/@/.snapshots' '" + top + "/@/bind' '" + top + "/@/tmp' '" + top + "/@/sq'");
        WriteFile(top + "/@/a", 1000);
        WriteFile(top + "/@/data/b", 2000);
        WriteFile(top + "/@/data/deep/c", 3000);
        Sh("ln '" + top + "/@/data/b' '" + top + "/@/data/deep/b-again'");
        Sh("ln -s data '" + top + "/@/link'");
        WriteFile(top + "/@home/u/h", 40000);
        WriteFile(top + "/@home/u/.hidden", 500);
        if (!Sh("btrfs subvolume create '" + top + "/@/nested'"))
            return false;
        WriteFile(top + "/@/nested/n", 7000);
        if (!Sh("btrfs subvolume snapshot -r '" + top + "/@/nested' '" + top + "/@/nested-snap'") ||
            !Sh("btrfs subvolume snapshot -r '" + top + "/@home' '" + top + "/@snaps/h1'"))
            return false;
        return Sh("mount -o loop,subvol=@ '" + img + "' '" + root_ + "'") &&
               Sh("mount -o loop,subvol=@home '" + img + "' '" + root_ + "/home'") &&
               Sh("mount -o loop,subvol=@snaps '" + img + "' '" + root_ + "/.snapshots'") &&
               Sh("mount --bind '" + root_ + "/data' '" + root_ + "/bind'") &&
               Sh("umount '" + top + "'");
    }

    // Another file system inside the drive: a tmpfs and a squashfs image.
    bool MakeOthers() {
        const std::string src = dir_ + "/sqsrc";
        Sh("mkdir -p '" + src + "'");
        WriteFile(src + "/in-image", 90000);
        return Sh("mksquashfs '" + src + "' '" + dir_ + "/image.sqfs' -quiet -noappend") &&
               Sh("mount -o loop,ro '" + dir_ + "/image.sqfs' '" + root_ + "/sq'") &&
               Sh("mount -t tmpfs cqtmp '" + root_ + "/tmp'") &&
               (WriteFile(root_ + "/tmp/in-tmpfs", 80000), true);
    }

    // The walk of Native as drive T:, all entries taking part.
    TFolderTree Walk(const std::string& native, int threads) {
        TScopedDriveTable table(TDriveTable({{'T', native}}));
        const TWalkSettings s = DriveWalkSettings(threads);
        TFolderTree tree;
        bool abort = false;
        WalkFolders(s, tree, abort);
        return tree;
    }

    static long long Total(const TFolderTree& tree) {
        return std::accumulate(tree.Own.begin(), tree.Own.end(), 0LL);
    }
    static std::set<std::string> Listed(const TFolderTree& tree) {
        std::set<std::string> paths;
        for (std::uint32_t n = 0; n < tree.Nodes.size(); ++n)
            if (tree.Nodes[n].Listed)
                paths.insert(tree.PathOf(n));
        return paths;
    }

    std::string dir_, root_;
};

TEST_F(RealMounts, WalkCoversTheFileSystemOnceAndNothingElse) {
    // The places the walk must cover, each measured by du on its own device:
    // the drive's subvolume (without the bind mount, a second view of data),
    // the subvolume mounted at home and the nested subvolume.
    const long long expected =
        DuFiles(root_, "bind") + DuFiles(root_ + "/home") + DuFiles(root_ + "/nested");
    // Written by the test: 1000 + 2000 + 3000 + 40000 + 500 + 7000 and the link.
    ASSERT_GE(expected, 53500);
    ASSERT_LT(expected, 53600);
    for (int threads : {1, 2}) {
        SCOPED_TRACE(threads);
        const TFolderTree tree = Walk(root_, threads);
        EXPECT_EQ(Total(tree), expected);
        const std::set<std::string> listed = Listed(tree);
        for (const char* in : {"T:", "T:\\data\\deep", "T:\\home\\u", "T:\\nested"})
            EXPECT_EQ(listed.count(in), 1u) << in;
        for (const char* out : {"T:\\.snapshots", "T:\\nested-snap", "T:\\bind", "T:\\tmp",
                                "T:\\sq", "T:\\.snapshots\\h1"})
            EXPECT_EQ(listed.count(out), 0u) << out;
    }
}

TEST_F(RealMounts, FolderWalkStaysOnItsSubvolume) {
    // A walk of home alone: its own subvolume, nothing of the drive above.
    const TFolderTree tree = Walk(root_ + "/home", 1);
    EXPECT_EQ(Total(tree), DuFiles(root_ + "/home"));
    EXPECT_EQ(Total(tree), 40500);
}

TEST_F(RealMounts, DriveListHasTheFileSystemOnceAndNoImageOrTmpfs) {
    const TDriveTable t = TDriveTable::FromSystem();
    const TDrive* drive = nullptr;
    for (const TDrive& d : t.Drives()) {
        EXPECT_FALSE(PathUnder(d.MountPoint, root_) && d.MountPoint != root_) << d.MountPoint;
        if (d.MountPoint == root_)
            drive = &d;
    }
    ASSERT_NE(drive, nullptr) << "the writable btrfs image is a fixed disk";
    EXPECT_EQ(t.DisplayName(drive->Letter), root_ + " (" + drive->Letter + ":)");
    // Home is the drive's own file system; the rest is on no drive.
    ASSERT_NE(t.DriveOf(root_ + "/home/u"), nullptr);
    EXPECT_EQ(t.DriveOf(root_ + "/home/u")->Letter, drive->Letter);
    for (const char* none : {"/.snapshots/h1", "/bind/b", "/tmp/in-tmpfs", "/sq/in-image"})
        EXPECT_EQ(t.DriveOf(root_ + none), nullptr) << none;
}

TEST_F(RealMounts, FolderBoundOntoItselfIsWalkedOnce) {
    // Some container and sandbox tools bind a folder onto itself; the walk
    // must still count it, once, and the folder stays on its drive.
    const long long expected =
        DuFiles(root_, "bind") + DuFiles(root_ + "/home") + DuFiles(root_ + "/nested");
    ASSERT_TRUE(Sh("mount --bind '" + root_ + "/data/deep' '" + root_ + "/data/deep'"));
    for (int threads : {1, 2}) {
        SCOPED_TRACE(threads);
        const TFolderTree tree = Walk(root_, threads);
        EXPECT_EQ(Total(tree), expected);
        EXPECT_EQ(Listed(tree).count("T:\\data\\deep"), 1u);
    }
    const TDriveTable t = TDriveTable::FromSystem();
    const TDrive* drive = t.DriveOf(root_ + "/data/deep/c");
    ASSERT_NE(drive, nullptr);
    EXPECT_EQ(drive->MountPoint, root_);
}

TEST_F(RealMounts, SnapshotsAreToldFromSubvolumes) {
    const TMountTable m = TMountTable::FromSystem();
    const TMount* home = m.MountOf(root_ + "/home");
    const TMount* snaps = m.MountOf(root_ + "/.snapshots");
    ASSERT_TRUE(home && snaps);
    EXPECT_FALSE(m.IsSnapshot(*home));
    EXPECT_TRUE(m.IsSnapshot(*snaps));
    EXPECT_EQ(home->FileSystem, m.MountOf(root_)->FileSystem);
    EXPECT_FALSE(m.MountOf(root_ + "/sq")->Fixed);
    EXPECT_FALSE(m.MountOf(root_ + "/tmp")->Fixed);
    EXPECT_TRUE(m.MountOf(root_)->Fixed);
}

}  // namespace
