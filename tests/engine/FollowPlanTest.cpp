// A plan of what item commands did (folders and files moved, on the drive
// or off it, items that appeared, folders made), applied to the stored
// lists, gives the lists the scan's own aggregation makes of the changed
// tree, and counts the bytes the moves carried. The steps of one plan come
// before one Finish, so a folder that moves after something changed inside
// it must carry its shares written.
#include <gtest/gtest.h>

#include <iterator>
#include <map>
#include <random>
#include <vector>

#include "engine/FollowPlan.h"
#include "engine/StoredListText.h"
#include "tests/engine/FolderListsModel.h"

namespace {

const char* const kPlanNames[] = {"a", "a b", "a.b", "A", "ab", "b"};

TFollowStep Step(TFollowStep::TKind kind, std::string from, std::string to, bool folder,
                 std::int64_t bytes = 0) {
    TFollowStep step;
    step.Kind = kind;
    step.From = std::move(from);
    step.To = std::move(to);
    step.Folder = folder;
    step.Bytes = bytes;
    // The allocated bytes follow the same edits: with the same figures
    // they must give the same lists.
    step.Allocated = bytes;
    return step;
}

TEST(FollowPlan, RandomPlansGiveTheListsOfTheChangedTreeAndTheBytesMoved) {
    using TKind = TFollowStep::TKind;
    std::mt19937 rng(11);
    auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
    for (int round = 0; round < 40; ++round) {
        TTree tree{{"T:", 10}};
        for (int i = 0; i < 30; ++i) {
            auto it = std::next(tree.begin(), static_cast<long>(pick(tree.size())));
            tree.emplace(it->first + "\\" + kPlanNames[pick(std::size(kPlanNames))], pick(1000));
        }
        TLists stored = Aggregate(tree);
        TFollowPlan plan;
        std::optional<std::int64_t> moved = 0;
        for (int step = 0; step < 12; ++step) {
            const std::string folder = std::next(tree.begin(), long(pick(tree.size())))->first;
            const std::string other = std::next(tree.begin(), long(pick(tree.size())))->first;
            const std::string fresh = other + "\\n" + std::to_string(step);
            const std::int64_t bytes =
                static_cast<std::int64_t>(pick(std::size_t(tree[folder]) + 1));
            switch (pick(6)) {
                case 0: {  // a folder renamed, moved, or moved off the drive
                    if (folder == "T:" || Below(fresh, folder))
                        continue;
                    const bool stays = pick(4) != 0;
                    plan.Add(Step(TKind::Move, folder, stays ? fresh : "", true));
                    if (moved)
                        *moved += TotalOf(tree, folder);
                    TTree after;
                    for (const auto& [path, own] : tree)
                        if (path != folder && !Below(path, folder))
                            after[path] = own;
                        else if (stays)
                            after[fresh + path.substr(folder.size())] = own;
                    tree.swap(after);
                    break;
                }
                case 1: {  // a file moved to another folder, or off the drive
                    const bool stays = pick(4) != 0;
                    plan.Add(Step(TKind::Move, folder + "\\f", stays ? other + "\\f" : "", false,
                                  bytes));
                    tree[folder] -= bytes;
                    if (stays)
                        tree[other] += bytes;
                    if (moved)
                        *moved += bytes;
                    break;
                }
                case 2:  // a file appeared
                    plan.Add(Step(TKind::Add, "", folder + "\\f", false, bytes));
                    tree[folder] += bytes;
                    break;
                case 3: {  // a folder with content appeared, as a scan measures it
                    const TTree copy{{fresh, 7}, {fresh + "\\x", bytes}, {fresh + "\\x\\y", 3}};
                    const TLists scan = Aggregate(copy);
                    TFollowStep added = Step(TKind::Add, "", fresh, true);
                    added.Dirs = scan.Dirs;
                    added.Sizes = scan.Sizes;
                    added.Percents = scan.Percents;
                    added.DiskSizes = scan.Sizes;
                    plan.Add(std::move(added));
                    tree.insert(copy.begin(), copy.end());
                    break;
                }
                case 4:
                    plan.Add(Step(TKind::MakeFolder, "", fresh, true));
                    tree.emplace(fresh, 0);
                    break;
                default:  // a folder the lists never held: no count of the bytes moved
                    if (pick(8) != 0)
                        continue;
                    plan.Add(Step(TKind::Move, fresh + "\\gone", other + "\\came", true));
                    moved.reset();
            }
        }
        ASSERT_TRUE(plan.ConcernsLists(stored.Dirs));
        TStringList allocated = stored.Sizes;
        bool allocatedKept = false;
        const std::optional<std::int64_t> carried =
            plan.Apply(stored.Dirs, stored.Sizes, stored.Percents, &allocated, &allocatedKept);
        AddAncestors(tree);
        const TLists expected = Aggregate(tree);
        ASSERT_EQ(stored.Dirs, expected.Dirs) << "round " << round;
        ASSERT_EQ(stored.Sizes, expected.Sizes) << "round " << round;
        ASSERT_EQ(stored.Percents, expected.Percents) << "round " << round;
        ASSERT_EQ(carried, moved) << "round " << round;
        ASSERT_TRUE(allocatedKept);
        ASSERT_EQ(allocated, expected.Sizes) << "round " << round;
    }
}

// A file moved after it grew or shrank since the scan: the folders it left
// and entered are listed afresh, so the lists hold exactly what a scan
// would for files of one link, whatever the file's size was when stored.
// With files of several links among them (counted in one folder of those
// that link them) no total goes below zero.
TEST(FollowPlan, FoldersListedAfterAFileMovedHoldWhatTheyHoldNow) {
    using TKind = TFollowStep::TKind;
    struct TFile {
        std::int64_t Size;
        bool Linked, Counted;  // several links; counted in this folder
    };
    const std::string kFolders[] = {"T:", "T:\\a", "T:\\a\\b", "T:\\c"};
    std::mt19937 rng(5);
    auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
    for (int round = 0; round < 300; ++round) {
        const bool withLinks = round % 2 == 1;
        std::map<std::string, std::map<std::string, TFile>> files;
        for (const std::string& folder : kFolders)
            for (int i = 0; i < 3; ++i) {
                const bool linked = withLinks && pick(2) == 0;
                files[folder]["f" + std::to_string(i)] = {std::int64_t(pick(1000)), linked,
                                                          !linked || pick(2) == 0};
            }
        auto own = [&](const std::string& folder) {
            std::int64_t bytes = 0;
            for (const auto& [name, file] : files[folder])
                bytes += file.Counted ? file.Size : 0;
            return bytes;
        };
        TTree tree;
        for (const std::string& folder : kFolders)
            tree[folder] = own(folder);
        TLists stored = Aggregate(tree);
        // The file changes on the disk, then moves (renamed in its folder,
        // into another, or off the drive).
        const std::string from = kFolders[pick(std::size(kFolders))];
        TFile file = files[from]["f0"];
        file.Size = std::max<std::int64_t>(0, file.Size + std::int64_t(pick(2001)) - 1000);
        files[from].erase("f0");
        const std::size_t where = pick(std::size(kFolders) + 1);
        const std::string to = where < std::size(kFolders) ? kFolders[where] : "";
        if (!to.empty())
            files[to]["moved"] = {file.Size, file.Linked, !file.Linked};
        TFollowPlan plan;
        TFollowStep move =
            Step(TKind::Move, from + "\\f0", to.empty() ? "" : to + "\\moved", false, file.Size);
        move.Links = file.Linked ? 2 : 1;
        plan.Add(move);
        std::vector<std::string> relisted{from};
        if (!to.empty() && to != from)
            relisted.push_back(to);
        for (const std::string& folder : relisted) {
            TFollowStep relist = Step(TKind::Relist, "", folder, true);
            relist.Allocated = 0;
            for (const auto& [name, f] : files[folder])
                (f.Linked ? relist.LinkedBytes : relist.Bytes) += f.Size;
            plan.Add(relist);
        }
        plan.Apply(stored.Dirs, stored.Sizes, stored.Percents);
        for (const std::string& folder : kFolders)
            tree[folder] = own(folder);
        const TLists expected = Aggregate(tree);
        for (std::size_t i = 0; i < stored.Sizes.size(); ++i)
            ASSERT_GE(StoredSizeOf(stored.Sizes[i]), 0) << "round " << round;
        if (!withLinks) {
            ASSERT_EQ(stored.Sizes, expected.Sizes)
                << "round " << round << " " << from << " -> " << to;
            ASSERT_EQ(stored.Percents, expected.Percents) << "round " << round;
        }
    }
}

TEST(FollowPlan, ConcernsOnlyListsOfADriveItTouches) {
    using TKind = TFollowStep::TKind;
    const TStringList drive{"T:", "T:\\a"};
    TFollowPlan elsewhere;
    elsewhere.Add(Step(TKind::Move, "U:\\a", "", true));
    elsewhere.Add(Step(TKind::Add, "", "U:\\b", false, 5));
    EXPECT_FALSE(elsewhere.ConcernsLists(drive));
    // From the drive, to it, and the letter in either case.
    for (const auto& [from, to] :
         {std::pair<std::string, std::string>{"T:\\a", ""}, {"U:\\a", "T:\\b"}, {"", "t:\\b"}}) {
        TFollowPlan plan;
        plan.Add(Step(from.empty() ? TKind::Add : TKind::Move, from, to, false, 1));
        EXPECT_TRUE(plan.ConcernsLists(drive)) << from << " -> " << to;
        // Lists that are no drive's analysis are never concerned.
        EXPECT_FALSE(plan.ConcernsLists({}));
        EXPECT_FALSE(plan.ConcernsLists({" "}));
        EXPECT_FALSE(plan.ConcernsLists({"T:\\a"}));
    }
}

TEST(FollowPlan, ParentOfADriveFormPath) {
    EXPECT_EQ(DriveFormParent("C:\\a\\b"), "C:\\a");
    EXPECT_EQ(DriveFormParent("C:\\a"), "C:");
    EXPECT_EQ(DriveFormParent("C:"), "C:");
    EXPECT_EQ(DriveFormParent("C:\\a b\\%5C"), "C:\\a b");
}

}  // namespace
