// Reclaiming on a real file system: every kept byte stays, the space falls
// by the waste shown, a file changed after the search is not touched, a
// replacement killed at any moment leaves the old file or the new one whole,
// a cancel stops between copies, and the result that follows a reclaim is
// what a new search finds. The clone cases run on btrfs, inside
// on_btrfs.sh (CQ_BTRFS_DIR).
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
#include <algorithm>
#include <cstdlib>
#include <random>
#include <set>
#include <tuple>

#include "engine/DuplicateFinder.h"
#include "engine/DuplicateFollow.h"
#include "engine/DuplicateReclaim.h"
#include "engine/DuplicateText.h"
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
        // The moments reach further every ten trials (1.5 ms up to 48 ms):
        // on a loaded machine the child may not even have started within
        // the first ones.
        ::usleep(rng() % (1500u << std::min(trial / 10, 5)));
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

namespace {

// A result as a set, to compare a followed result with a new search's:
// each copy by its identity and names, with the inodes it shares its data
// with (the shared sets' numbers themselves may differ).
using TCopyKey = std::tuple<std::uint64_t, std::uint64_t, std::int64_t, std::vector<std::string>,
                            std::set<std::uint64_t>>;
using TGroupKey = std::pair<std::int64_t, std::set<TCopyKey>>;

std::set<TGroupKey> Canonical(const TDuplicateResult& r) {
    std::set<TGroupKey> groups;
    for (const TDuplicateGroup& g : r.Groups) {
        std::set<TCopyKey> copies;
        for (const TDuplicateCopy& c : g.Copies) {
            std::set<std::uint64_t> sharing;
            for (const TDuplicateCopy& o : g.Copies)
                if (o.SharedSet == c.SharedSet)
                    sharing.insert(o.Inode);
            copies.insert({c.Device, c.Inode, c.WriteNanos, c.Names, sharing});
        }
        groups.insert({g.Size, copies});
    }
    return groups;
}

// Groups of 2 to 4 copies in three folders, a third of the copies with a
// second hard-linked name; the checksum of every name.
std::map<std::string, QByteArray> MakeRandomCopies(const std::string& root, std::mt19937& rng) {
    std::map<std::string, QByteArray> sums;
    for (const char* d : {"/d0", "/d1", "/d2"})
        QDir().mkpath(QString::fromStdString(root + d));
    for (int g = 0, groups = 3 + int(rng() % 3); g < groups; ++g) {
        const QByteArray data = Random(70000 + int(rng() % 200000), rng());
        for (int c = 0, copies = 2 + int(rng() % 3); c < copies; ++c) {
            const std::string name = root + "/d" + std::to_string(rng() % 3) + "/g" +
                                     std::to_string(g) + "c" + std::to_string(c);
            WriteReclaimFile(name, data);
            sums[name] = Sum(name);
            if (rng() % 3 == 0) {
                EXPECT_EQ(::link(name.c_str(), (name + "-link").c_str()), 0);
                sums[name + "-link"] = sums[name];
            }
        }
    }
    return sums;
}

// Random copies of each group, kept by a random rule.
std::vector<TReclaimStep> RandomSteps(const TDuplicateResult& result, std::mt19937& rng) {
    std::vector<TReclaimStep> steps;
    for (const TDuplicateGroup& g : result.Groups) {
        std::vector<std::size_t> chosen;
        for (std::size_t c = 0; c < g.Copies.size(); ++c)
            if (rng() % 2)
                chosen.push_back(c);
        const TKeepRule rule{TKeepRule::Kind(rng() % 3), {}};
        for (TReclaimStep& step : ChosenCopies(g, chosen, rule))
            steps.push_back(std::move(step));
    }
    return steps;
}

}  // namespace

// Rounds of reclaiming, each on the result the one before followed to (read
// back from its stored text, as the window keeps it): the followed result
// is the one a new search finds, clones with their own inodes and times, so
// that a later round can reclaim a clone or keep one; no copy is refused as
// changed, and every byte stays.
TEST(DuplicateReclaim, TheFollowedResultIsWhatANewSearchFindsRoundAfterRound) {
    const std::string btrfs = BtrfsFolder();
    QTemporaryDir dir;
    const std::string root = btrfs.empty() ? dir.path().toStdString() : btrfs + "/follow";
    QDir().mkpath(QString::fromStdString(root));
    std::mt19937 rng(7);
    auto sums = MakeRandomCopies(root, rng);
    ::sync();  // settled extents: a clone's are then the kept copy's
    TDuplicateResult result = Search(root);
    std::vector<TReclaimAction> actions{TReclaimAction::kTrash, TReclaimAction::kHardLink};
    if (!btrfs.empty())
        actions = {TReclaimAction::kClone, TReclaimAction::kClone, TReclaimAction::kHardLink,
                   TReclaimAction::kClone, TReclaimAction::kTrash};
    for (std::size_t round = 0; round < actions.size(); ++round) {
        const TReclaimAction action = actions[round];
        const std::vector<TReclaimStep> steps = RandomSteps(result, rng);
        const TReclaimReport report =
            TDuplicateReclaim(action, [&](const std::string& p, std::string&) {
                sums.erase(p);
                return ::unlink(p.c_str()) == 0;
            }).Run(steps);
        for (const auto& left : report.Left)
            EXPECT_EQ(left.second.find("changed"), std::string::npos)
                << "round " << round << ": " << left.first << ": " << left.second;
        bool asOf = false;
        std::string error;
        ASSERT_TRUE(
            ReadDuplicateLines(DuplicateLines(FollowReclaim(result, action, steps, report), false),
                               result, asOf, error))
            << error;
        ::sync();
        EXPECT_EQ(Canonical(result), Canonical(Search(root))) << "round " << round;
        ExpectSameBytes(sums);
    }
}

// A cancel, here given while a copy's second name goes to the trash, lets
// that copy's names all be dealt with and reaches no copy after it; the
// progress tells the copies and bytes done.
TEST(DuplicateReclaim, ACancelStopsBetweenCopiesAndTheProgressCountsWhatWasDone) {
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    const auto sums = MakeCopies(root);
    const TDuplicateResult result = Search(root);
    const std::vector<TReclaimStep> steps = AllButKept(result, {TKeepRule::kShortestPath});
    ASSERT_EQ(steps.size(), 3u);  // a2 (with a2-link) and a3; b2
    ASSERT_EQ(steps[0].Target.Names.size(), 2u);
    std::atomic<bool> cancel{false};
    std::vector<std::string> trashed;
    TDuplicateReclaimProgress progress;
    const TReclaimReport report =
        TDuplicateReclaim(TReclaimAction::kTrash, [&](const std::string& p, std::string&) {
            trashed.push_back(p);
            cancel = true;
            return ::unlink(p.c_str()) == 0;
        }).Run(steps, &cancel, &progress);
    EXPECT_EQ(trashed, steps[0].Target.Names);
    EXPECT_EQ(report.Changed, steps[0].Target.Names);
    EXPECT_EQ(report.NotReached, 2u);
    EXPECT_EQ(progress.CopiesAll, 3u);
    EXPECT_EQ(progress.CopiesDone, 1u);
    EXPECT_EQ(progress.BytesAll, 2u * 300000 + 70000);
    EXPECT_EQ(progress.BytesDone, 300000u);
    for (const auto& entry : sums) {
        if (std::find(trashed.begin(), trashed.end(), entry.first) == trashed.end()) {
            EXPECT_EQ(Sum(entry.first), entry.second) << entry.first;
        }
    }

    // Cancelled before it starts, nothing is reached; uncancelled, every
    // copy and byte counts.
    const TReclaimReport none = TDuplicateReclaim(TReclaimAction::kHardLink).Run(steps, &cancel);
    EXPECT_EQ(none.NotReached, 3u);
    EXPECT_TRUE(none.Changed.empty() && none.Left.empty());
    const auto rest = AllButKept(Search(root), {});
    TDuplicateReclaimProgress all;
    const TReclaimReport done =
        TDuplicateReclaim(TReclaimAction::kHardLink).Run(rest, nullptr, &all);
    EXPECT_EQ(done.NotReached, 0u);
    EXPECT_EQ(all.CopiesDone, rest.size());
    EXPECT_EQ(all.BytesDone, all.BytesAll);
}

// Memory running out midway stops the reclaim without losing what it did:
// the names already trashed are told, so that the numbers follow them, and
// the copy at hand and the later ones are told as not reached.
TEST(DuplicateReclaim, MemoryRunningOutMidwayKeepsWhatWasDoneTold) {
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    const auto sums = MakeCopies(root);
    const std::vector<TReclaimStep> steps = AllButKept(Search(root), {TKeepRule::kShortestPath});
    ASSERT_EQ(steps.size(), 3u);
    std::vector<std::string> trashed;
    const TReclaimReport report =
        TDuplicateReclaim(TReclaimAction::kTrash, [&](const std::string& p, std::string&) {
            if (trashed.size() == steps[0].Target.Names.size())
                throw std::bad_alloc();
            trashed.push_back(p);
            return ::unlink(p.c_str()) == 0;
        }).Run(steps, nullptr);
    EXPECT_EQ(report.Changed, steps[0].Target.Names);
    EXPECT_EQ(report.Failure, "there is not enough memory");
    EXPECT_EQ(report.NotReached, 2u);
    for (const auto& entry : sums) {
        if (std::find(trashed.begin(), trashed.end(), entry.first) == trashed.end()) {
            EXPECT_EQ(Sum(entry.first), entry.second) << entry.first;
        }
    }
}
