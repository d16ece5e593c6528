// The duplicate search's own rules that the comparison with other finders
// (peer_groups.py) cannot show: the minimum size on both sides, the waste of
// shared sets, the copy each keep rule keeps, progress and cancel.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QTemporaryDir>

#include "engine/DuplicateFinder.h"
#include "engine/DuplicateKeepRule.h"

namespace {

void Write(const QString& path, const QByteArray& data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

TDuplicateCopy Copy(const char* name, std::int64_t written, int set) {
    return {{name}, 1, std::uint64_t(written), written, set};
}

}  // namespace

TEST(DuplicateFinder, TheMinimumSizeKeepsFilesOfThatSizeAndLeavesSmallerOnesAndEmptyOnesOut) {
    QTemporaryDir dir;
    for (const char* n : {"/a", "/b"})
        Write(dir.path() + n, QByteArray(100, 'x'));
    for (const char* n : {"/c", "/d"})
        Write(dir.path() + n, QByteArray(99, 'x'));
    for (const char* n : {"/e", "/f"})
        Write(dir.path() + n, {});
    const std::string root = dir.path().toStdString();
    auto groupsAt = [&](std::int64_t minSize) {
        TDuplicateFinder finder({minSize, 2});
        TDuplicateResult result;
        EXPECT_TRUE(finder.Run(root, result));
        EXPECT_EQ(finder.Progress.FilesListed, 6u);
        EXPECT_EQ(finder.Progress.Step, TDuplicateProgress::kDone);
        EXPECT_LE(finder.Progress.BytesHashed, finder.Progress.BytesToHash);
        std::vector<std::int64_t> sizes;
        for (const TDuplicateGroup& g : result.Groups)
            sizes.push_back(g.Size);
        return sizes;
    };
    EXPECT_EQ(groupsAt(0), (std::vector<std::int64_t>{100, 99}));
    EXPECT_EQ(groupsAt(100), (std::vector<std::int64_t>{100}));
    EXPECT_EQ(groupsAt(101), (std::vector<std::int64_t>{}));
}

TEST(DuplicateFinder, ACancelledSearchSaysSoAndGivesNoGroups) {
    QTemporaryDir dir;
    for (const char* n : {"/a", "/b"})
        Write(dir.path() + n, QByteArray(100, 'x'));
    TDuplicateFinder finder;
    finder.Cancel = true;
    TDuplicateResult result;
    EXPECT_FALSE(finder.Run(dir.path().toStdString(), result));
    EXPECT_TRUE(result.Groups.empty());
}

TEST(DuplicateGroup, SharedSetsWasteNothingAmongThemselvesAndGroupsSortByWaste) {
    TDuplicateResult r;
    // Four copies, two of them clones of one another: three places.
    r.Groups.push_back(
        {10, {Copy("/z", 1, 0), Copy("/y", 2, 1), Copy("/x", 3, 1), Copy("/w", 4, 3)}});
    r.Groups.push_back({25, {Copy("/a", 1, 0), Copy("/b", 2, 1)}});
    r.Groups.push_back({50, {Copy("/c", 1, 0), Copy("/d", 2, 0)}});  // all shared: no waste
    r.Sort();
    EXPECT_EQ(r.Groups[0].Size, 25);
    EXPECT_EQ(r.Groups[1].Size, 10);
    EXPECT_EQ(r.Groups[1].Waste(), 20);
    EXPECT_EQ(r.Groups[1].Copies[0].Names[0], "/w");  // copies by name
    EXPECT_FALSE(r.Groups[1].IsShared(0));
    EXPECT_TRUE(r.Groups[1].IsShared(1));
    EXPECT_EQ(r.Groups[2].Waste(), 0);
    EXPECT_EQ(r.TotalWaste(), 45);
}

TEST(DuplicateGroup, AFolderWastesItsCopiesAndKeepsOneWhenAllAreInside) {
    TDuplicateResult r;
    r.Groups.push_back({10, {Copy("/a/x", 1, 0), Copy("/a/y", 2, 1), Copy("/b/z", 3, 2)}});
    r.Groups.push_back({7, {Copy("/a/p", 1, 0), Copy("/a/q", 2, 1)}});
    r.Groups.push_back({5, {Copy("/a/s", 1, 0), Copy("/a/t", 2, 0), Copy("/b/u", 3, 1)}});
    EXPECT_EQ(r.WasteInside("/a"), 2 * 10 + 7 + 5);  // shared s and t are one place
    EXPECT_EQ(r.WasteInside("/b"), 10 + 5);
    EXPECT_EQ(r.WasteInside("/"), r.TotalWaste());
    EXPECT_EQ(r.WasteInside("/a/x"), 0);  // a file's name is no folder
}

TEST(DuplicateKeepRule, EachRuleKeepsItsCopyAndTheChosenOnesAreTheOnesReclaimed) {
    TDuplicateGroup g{10,
                      {Copy("/data/photos/b.jpg", 30, 0), Copy("/x/a.jpg", 10, 1),
                       Copy("/home/u/new/a.jpg", 50, 2), Copy("/data/old.jpg", 10, 3)}};
    EXPECT_EQ(ChooseKeptCopy(g, {TKeepRule::kOldest}), 1u);  // the first of two oldest
    EXPECT_EQ(ChooseKeptCopy(g, {TKeepRule::kNewest}), 2u);
    EXPECT_EQ(ChooseKeptCopy(g, {TKeepRule::kShortestPath}), 1u);
    EXPECT_EQ(ChooseKeptCopy(g, {TKeepRule::kInsideFolder, "/data/photos"}), 0u);
    // "/data/photos" is no folder of "/data/photos2/..."; none inside: the oldest.
    EXPECT_EQ(ChooseKeptCopy(g, {TKeepRule::kInsideFolder, "/data/photo"}), 1u);

    const auto steps = ChosenCopies(g, {1, 2}, {TKeepRule::kOldest});
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].Kept.Names[0], "/data/old.jpg");  // the oldest not chosen
    EXPECT_EQ(steps[0].Target.Names[0], "/x/a.jpg");
    // All chosen: the rule's copy stays anyway.
    EXPECT_EQ(ChosenCopies(g, {0, 1, 2, 3}, {TKeepRule::kNewest}).size(), 3u);
    TDuplicateResult r;
    r.Groups = {g, g};
    EXPECT_EQ(AllButKept(r, {}).size(), 6u);
}
