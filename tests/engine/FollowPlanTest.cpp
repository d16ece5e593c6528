// A plan of what item commands did (folders and files moved, on the drive
// or off it, items that appeared, folders made), applied to the stored
// lists, gives the lists the scan's own aggregation makes of the changed
// tree, and counts the bytes the moves carried. The steps of one plan come
// before one Finish, so a folder that moves after something changed inside
// it must carry its shares written.
#include <gtest/gtest.h>

#include <iterator>
#include <random>

#include "engine/FollowPlan.h"
#include "engine/StoredListText.h"
#include "tests/engine/FolderListsModel.h"

namespace {

const char* const kNames[] = {"a", "a b", "a.b", "A", "ab", "b"};

TFollowStep Step(TFollowStep::TKind kind, std::string from, std::string to, bool folder,
                 std::int64_t bytes = 0) {
    TFollowStep step;
    step.Kind = kind;
    step.From = std::move(from);
    step.To = std::move(to);
    step.Folder = folder;
    step.Bytes = bytes;
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
            tree.emplace(it->first + "\\" + kNames[pick(std::size(kNames))], pick(1000));
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
        const std::optional<std::int64_t> carried =
            plan.Apply(stored.Dirs, stored.Sizes, stored.Percents);
        AddAncestors(tree);
        const TLists expected = Aggregate(tree);
        ASSERT_EQ(stored.Dirs, expected.Dirs) << "round " << round;
        ASSERT_EQ(stored.Sizes, expected.Sizes) << "round " << round;
        ASSERT_EQ(stored.Percents, expected.Percents) << "round " << round;
        ASSERT_EQ(carried, moved) << "round " << round;
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
