// Reclaiming on a real file system: every kept byte stays, the space falls
// by the waste shown, a file changed after the search is not touched, and a
// replacement killed at any moment leaves the old file or the new one whole.
// The clone cases run on btrfs, inside on_btrfs.sh (CQ_BTRFS_DIR).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <random>
#include <set>

#include "engine/DuplicateFinder.h"
#include "engine/DuplicateReclaim.h"
#include "platform/FileReplace.h"

namespace {

QByteArray Random(int size, unsigned seed) {
    std::mt19937 rng(seed);
    QByteArray data(size, 0);
    for (char& c : data)
        c = char(rng());
    return data;
}

void WriteReclaimFile(const std::string& path, const QByteArray& data) {
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

QByteArray Sum(const std::string& path) {
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

struct stat Stat(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st;
}

// Allocated bytes of the regular files below root, each inode once (as a
// fresh scan counts them).
std::int64_t Allocated(const std::string& root) {
    TDuplicateProgress progress;
    std::int64_t total = 0;
    std::set<ino_t> seen;
    for (const QString& name : QDir(QString::fromStdString(root)).entryList(QDir::Files)) {
        const struct stat st = Stat(root + "/" + name.toStdString());
        if (seen.insert(st.st_ino).second)
            total += std::int64_t(st.st_blocks) * 512;
    }
    return total;
}

TDuplicateResult Search(const std::string& root) {
    TDuplicateFinder finder;
    TDuplicateResult result;
    EXPECT_TRUE(finder.Run(root, result));
    return result;
}

// A folder of three copies of one content (one with a second name) and two
// of another, each a separate inode; returns the checksums by name.
std::map<std::string, QByteArray> MakeCopies(const std::string& root) {
    const QByteArray a = Random(300000, 1), b = Random(70000, 2);
    for (const char* n : {"/a1", "/a2", "/a3"})
        WriteReclaimFile(root + n, a);
    EXPECT_EQ(::link((root + "/a2").c_str(), (root + "/a2-link").c_str()), 0);
    WriteReclaimFile(root + "/b1", b);
    WriteReclaimFile(root + "/b2", b);
    std::map<std::string, QByteArray> sums;
    for (const char* n : {"/a1", "/a2", "/a2-link", "/a3", "/b1", "/b2"})
        sums[root + n] = Sum(root + n);
    return sums;
}

void ExpectSameBytes(const std::map<std::string, QByteArray>& sums) {
    for (const auto& entry : sums)
        EXPECT_EQ(Sum(entry.first), entry.second) << entry.first;
}

std::string BtrfsFolder() {
    const char* dir = std::getenv("CQ_BTRFS_DIR");
    return dir ? dir : "";
}

}  // namespace

TEST(DuplicateReclaim, HardLinksKeepEveryByteAndFreeTheWasteShown) {
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    const auto sums = MakeCopies(root);
    ::sync();
    const std::int64_t before = Allocated(root);
    const TDuplicateResult result = Search(root);
    ASSERT_EQ(result.Groups.size(), 2u);
    EXPECT_EQ(result.TotalWaste(), 2 * 300000 + 70000);

    const TReclaimReport report =
        TDuplicateReclaim(TReclaimAction::kHardLink).Run(AllButKept(result, {}));
    EXPECT_TRUE(report.Left.empty());
    EXPECT_EQ(report.Changed.size(), 4u);  // a2 and its second name are both relinked
    EXPECT_EQ(report.Freed, result.TotalWaste());
    ExpectSameBytes(sums);
    EXPECT_EQ(Stat(root + "/a1").st_ino, Stat(root + "/a3").st_ino);
    EXPECT_EQ(Stat(root + "/a2-link").st_ino, Stat(root + "/a1").st_ino);
    ::sync();
    // Allocation rounds each file up to whole blocks.
    const std::int64_t fell = before - Allocated(root);
    EXPECT_GE(fell, result.TotalWaste());
    EXPECT_LT(fell, result.TotalWaste() + 3 * 4096);
    EXPECT_TRUE(Search(root).Groups.empty());
}

TEST(DuplicateReclaim, ACopyChangedAfterTheSearchIsLeftAloneAndReported) {
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    MakeCopies(root);
    const TDuplicateResult result = Search(root);
    // Same size, other bytes, and a kept copy rewritten with the same bytes
    // (its time changed): neither may be acted on.
    QByteArray other = Random(70000, 2);
    other[35000] = char(other[35000] ^ 1);
    WriteReclaimFile(root + "/b2", other);
    ::utimensat(AT_FDCWD, (root + "/b1").c_str(), nullptr, 0);
    const QByteArray changed = Sum(root + "/b2");
    const ino_t b2 = Stat(root + "/b2").st_ino;

    TKeepRule rule{TKeepRule::kShortestPath, {}};
    const TReclaimReport report =
        TDuplicateReclaim(TReclaimAction::kHardLink, {}).Run(AllButKept(result, rule));
    EXPECT_EQ(Sum(root + "/b2"), changed);
    EXPECT_EQ(Stat(root + "/b2").st_ino, b2);
    ASSERT_EQ(report.Left.size(), 1u);
    EXPECT_NE(report.Left[0].second.find("changed"), std::string::npos);
    EXPECT_EQ(report.Changed.size(), 3u);  // the other group went ahead
}

TEST(DuplicateReclaim, MoveToTrashHandsEveryNameOfACopyToTheTrashAndFreesNothingYet) {
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    const auto sums = MakeCopies(root);
    const TDuplicateResult result = Search(root);
    std::vector<std::string> trashed;
    TDuplicateReclaim trash(TReclaimAction::kTrash, [&](const std::string& p, std::string&) {
        trashed.push_back(p);
        return ::unlink(p.c_str()) == 0;
    });
    const TReclaimReport report = trash.Run(ChosenCopies(result.Groups[0], {1}, {}));
    EXPECT_EQ(report.Freed, 0);
    ASSERT_EQ(trashed.size(), 2u);  // a2 and a2-link
    EXPECT_EQ(trashed, result.Groups[0].Copies[1].Names);
    EXPECT_EQ(Sum(root + "/a1"), sums.at(root + "/a1"));
    EXPECT_EQ(Sum(root + "/a3"), sums.at(root + "/a3"));
}

TEST(DuplicateReclaim, ClonesKeepTheirOwnAttributesAndFreeTheWasteOnBtrfs) {
    const std::string root = BtrfsFolder();
    if (root.empty())
        GTEST_SKIP() << "runs inside tests/dupes/on_btrfs.sh";
    const QByteArray data = Random(4 << 20, 5);
    WriteReclaimFile(root + "/keep", data);
    WriteReclaimFile(root + "/copy", data);
    ::chmod((root + "/copy").c_str(), 0640);
    const struct timespec times[2] = {{1000000, 0}, {2000000, 5}};
    ::utimensat(AT_FDCWD, (root + "/copy").c_str(), times, 0);
    ::sync();
    struct statvfs fs {};
    ::statvfs(root.c_str(), &fs);
    const double freeBefore = double(fs.f_bavail) * fs.f_frsize;

    const TDuplicateResult result = Search(root);
    ASSERT_EQ(result.Groups.size(), 1u);
    const TReclaimReport report =
        TDuplicateReclaim(TReclaimAction::kClone).Run(AllButKept(result, {TKeepRule::kNewest}));
    ASSERT_TRUE(report.Left.empty()) << report.Left[0].second;
    const struct stat copy = Stat(root + "/copy");
    EXPECT_EQ(copy.st_mode & 07777, 0640u);
    EXPECT_EQ(copy.st_mtim.tv_sec, 2000000);
    EXPECT_EQ(copy.st_mtim.tv_nsec, 5);
    EXPECT_NE(copy.st_ino, Stat(root + "/keep").st_ino);
    EXPECT_EQ(Sum(root + "/copy"), Sum(root + "/keep"));
    ::sync();
    ::statvfs(root.c_str(), &fs);
    // btrfs frees the copy's extents at the commit after the sync; its own
    // metadata moves a little.
    EXPECT_GT(double(fs.f_bavail) * fs.f_frsize - freeBefore, 0.8 * result.TotalWaste());
    const TDuplicateResult after = Search(root);
    ASSERT_EQ(after.Groups.size(), 1u);
    EXPECT_EQ(after.TotalWaste(), 0);  // the two now share their data
}

// Kill trials: a child replaces the file and is killed at a random moment;
// the path must then hold the whole old file or the whole new one.
TEST(DuplicateReclaim, AReplacementKilledAtAnyMomentLeavesOneWholeFile) {
    const std::string btrfs = BtrfsFolder();
    QTemporaryDir dir;
    const std::string root = btrfs.empty() ? dir.path().toStdString() : btrfs + "/kill";
    QDir().mkpath(QString::fromStdString(root));
    const QByteArray data = Random(2 << 20, 9);
    WriteReclaimFile(root + "/keep", data);
    std::mt19937 rng(42);
    int replaced = 0;
    for (int trial = 0; trial < 60; ++trial) {
        const std::string target = root + "/target";
        WriteReclaimFile(target, data);
        const ino_t old = Stat(target).st_ino;
        const pid_t child = ::fork();
        if (child == 0) {
            const bool ok = !btrfs.empty() && trial % 2
                                ? ReplaceByClone(root + "/keep", target).Ok
                                : ReplaceByHardLink(root + "/keep", target).Ok;
            ::_exit(ok ? 0 : 1);
        }
        ::usleep(rng() % 1500);
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        const struct stat now = Stat(target);
        ASSERT_TRUE(S_ISREG(now.st_mode)) << "trial " << trial;
        ASSERT_EQ(Sum(target), Sum(root + "/keep")) << "trial " << trial;
        replaced += now.st_ino != old;
    }
    // Both ends of the race were reached: some trials were killed before the
    // rename, some after.
    EXPECT_GT(replaced, 0);
    EXPECT_LT(replaced, 60);
}
