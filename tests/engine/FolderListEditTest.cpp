// Stored lists edited after folders moved, left or were made and bytes came
// and went equal the lists the scan's own aggregation makes of the changed
// tree of folders.
#include <gtest/gtest.h>

#include <random>

#include "engine/FolderListEdit.h"
#include "engine/NumberText.h"
#include "engine/StoredListText.h"
#include "tests/engine/FolderListsModel.h"

namespace {

// Names that sort right beside each other, and their case twins.
const char* const kNames[] = {"a", "a b", "a-b", "a.b", "A", "ab", "b", "%5C"};

TEST(FolderListEdit, ListsOutOfScanOrderAreLeftAlone) {
    TLists lists{{"T:", "T:\\b", "T:\\a"}, {"3", "1", "2"}, {"0", "33", "67"}};
    const TLists before = lists;
    TFolderListEdit edit(lists.Dirs, lists.Sizes, lists.Percents);
    EXPECT_FALSE(edit.Usable());
    EXPECT_TRUE(edit.TakeFolder("T:\\a").Empty());
    edit.AddBytes("T:\\b", 5);
    edit.MakeFolder("T:\\c");
    edit.Finish();
    EXPECT_EQ(lists.Dirs, before.Dirs);
    EXPECT_EQ(lists.Sizes, before.Sizes);
}

// The lists hold a drive only when they start with its root: a letter and
// a colon, nothing more. Lists of one folder, or empty ones, hold none.
TEST(FolderListEdit, ListsHoldTheDriveTheirFirstEntryIsTheRootOf) {
    EXPECT_EQ(ListsDriveLetter(TStringList{"c:", "c:\\a"}), 'C');
    EXPECT_EQ(ListsDriveLetter(TStringList{"T:"}), 'T');
    for (const TStringList& none :
         {TStringList{}, TStringList{"T:\\a", "T:\\a\\b"}, TStringList{"T:\\"}, TStringList{"1:"},
          TStringList{"T"}, TStringList{"Tx"}, TStringList{"", "T:"}})
        EXPECT_EQ(ListsDriveLetter(none), 0) << (none.empty() ? "" : std::string(none[0]));
}

TEST(FolderListEdit, RandomEditsGiveTheListsOfTheChangedTree) {
    std::mt19937 rng(7);
    auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
    for (int round = 0; round < 20; ++round) {
        TTree tree{{"T:", 10}};
        for (int i = 0; i < 40; ++i) {
            auto it = std::next(tree.begin(), static_cast<long>(pick(tree.size())));
            tree.emplace(it->first + "\\" + kNames[pick(std::size(kNames))], pick(3) * pick(1000));
        }
        TLists stored = Aggregate(tree);
        for (int step = 0; step < 30; ++step) {
            TFolderListEdit edit(stored.Dirs, stored.Sizes, stored.Percents);
            ASSERT_TRUE(edit.Usable());
            const std::string folder = std::next(tree.begin(), long(pick(tree.size())))->first;
            const std::string target = std::next(tree.begin(), long(pick(tree.size())))->first +
                                       "\\" + kNames[pick(std::size(kNames))] + "\\" +
                                       kNames[pick(std::size(kNames))];
            // The letter as another path may write it.
            const std::string asGiven = (pick(2) ? "t" : "T") + folder.substr(1);
            const std::int64_t bytes = static_cast<std::int64_t>(pick(5000));
            switch (pick(4)) {
                case 0: {  // a folder moved (its new ancestors made) or left the drive
                    if (folder == "T:" || tree.count(target) || Below(target, folder))
                        continue;
                    const bool stays = pick(3) != 0;
                    const TFolderRun run = edit.TakeFolder(asGiven);
                    if (stays)
                        edit.PutFolder(target, run);
                    TTree moved;
                    for (const auto& [path, own] : tree) {
                        if (path != folder && !Below(path, folder))
                            moved[path] = own;
                        else if (stays)
                            moved[target + path.substr(folder.size())] = own;
                    }
                    tree.swap(moved);
                    break;
                }
                case 1:
                    edit.AddBytes(asGiven, bytes);
                    tree[folder] += bytes;
                    break;
                case 2:
                    edit.AddBytes(asGiven, -std::min(bytes, tree[folder]));
                    tree[folder] -= std::min(bytes, tree[folder]);
                    break;
                default:
                    edit.MakeFolder(target);
                    tree.emplace(target, 0);
            }
            edit.Finish();
            AddAncestors(tree);
            const TLists expected = Aggregate(tree);
            ASSERT_EQ(stored.Dirs, expected.Dirs) << "round " << round << " step " << step;
            ASSERT_EQ(stored.Sizes, expected.Sizes);
            ASSERT_EQ(stored.Percents, expected.Percents);
        }
    }
}

}  // namespace

namespace {

// No total goes below zero: bytes may take a folder's total to exactly
// nothing, and one byte more is refused whole (the allocated bytes alike).
TEST(FolderListEdit, TotalsReachZeroAndNeverGoBelow) {
    for (const bool allocatedShort : {false, true}) {
        TLists lists = Aggregate({{"T:", 5}, {"T:\\a", 100}, {"T:\\a\\b", 0}});
        TStringList allocated{"205", "200", "0"};
        TFolderListEdit edit(lists.Dirs, lists.Sizes, lists.Percents, &allocated);
        const std::int64_t pastAllocated = allocatedShort ? 201 : 200;
        const std::int64_t pastBytes = allocatedShort ? 100 : 101;
        EXPECT_FALSE(edit.AddBytes("T:\\a", -pastBytes, -pastAllocated));
        EXPECT_FALSE(edit.AddBytes("T:\\a\\b", -1, 0));
        EXPECT_EQ(lists.Sizes, (TStringList{"105", "100", "0"}));
        EXPECT_EQ(allocated, (TStringList{"205", "200", "0"}));
        EXPECT_TRUE(edit.AddBytes("T:\\a", -100, -200));
        edit.Finish();
        EXPECT_EQ(lists.Sizes, (TStringList{"5", "0", "0"}));
        EXPECT_EQ(allocated, (TStringList{"5", "0", "0"}));
    }
}

// A folder's own bytes are its total less its subfolders', whatever lies
// deeper below them.
TEST(FolderListEdit, OwnBytesLeaveOutEverySubfolder) {
    TLists lists = Aggregate({{"T:", 1},
                              {"T:\\a", 10},
                              {"T:\\a\\b", 20},
                              {"T:\\a\\b\\c", 40},
                              {"T:\\a b", 80},
                              {"T:\\a\\d", 160}});
    TStringList allocated = lists.Sizes;
    TFolderListEdit edit(lists.Dirs, lists.Sizes, lists.Percents, &allocated);
    std::int64_t own = -1, ownAllocated = -1;
    ASSERT_TRUE(edit.OwnBytes("T:\\a", own, ownAllocated));
    EXPECT_EQ(own, 10);
    EXPECT_EQ(ownAllocated, 10);
    ASSERT_TRUE(edit.OwnBytes("T:", own, ownAllocated));
    EXPECT_EQ(own, 1);
    EXPECT_FALSE(edit.OwnBytes("T:\\none", own, ownAllocated));
}

}  // namespace
