// The comparison of current results with a kept set, against a plain
// reference built from maps: every current folder's size then and now, and
// every gone folder with its old size, found inside the right folder.
#include <gtest/gtest.h>

#include "engine/ResultChanges.h"
#include "tests/history/HistoryLists.h"

namespace {

// The drive later: some folders resized, some removed with all below them,
// some added.
TFolderSizes Later(const TFolderSizes& before, std::mt19937_64& random) {
    TFolderSizes later;
    std::string removed = "\x01none";
    for (const auto& [path, size] : before) {
        const bool below = path.compare(0, removed.size(), removed) == 0;
        if (below || (path != "C:" && random() % 20 == 0)) {
            if (!below) {
                removed = path + "\\";
            }
            continue;
        }
        later[path] = random() % 4 == 0 ? RandomSize(random) : size;
        if (random() % 15 == 0) {
            later.emplace(path + "\\" + RandomName(random), RandomSize(random));
        }
    }
    return later;
}

THistorySnapshot Kept(const TFolderSizes& drive) {
    THistorySnapshot kept;
    kept.Drive = 'C';
    for (const auto& [path, size] : drive) {
        kept.Dirs.push_back(path);
        kept.Sizes.push_back(size);
    }
    return kept;
}

std::string ParentOf(const std::string& path) {
    return path.substr(0, path.rfind('\\'));
}

TEST(ResultChangesTest, MatchesAReferenceOnRandomDrives) {
    std::mt19937_64 random(29);
    for (int trial = 0; trial < 60; ++trial) {
        const TFolderSizes before = RandomDrive(random, 1 + random() % 800);
        const TFolderSizes now = trial % 10 == 0 ? before : Later(before, random);
        TStringList dirs, sizes;
        ToLists(now, dirs, sizes);
        const TResultChanges changes = CompareResults(dirs, sizes, Kept(before));

        ASSERT_EQ(changes.Now.size(), dirs.size());
        ASSERT_EQ(changes.Before.size(), dirs.size());
        for (std::size_t k = 0; k < dirs.size(); ++k) {
            const auto then = before.find(std::string(dirs[k]));
            EXPECT_EQ(changes.Now[k], now.at(std::string(dirs[k])));
            EXPECT_EQ(changes.IsNew(k), then == before.end()) << dirs[k];
            if (then != before.end()) {
                EXPECT_EQ(changes.Before[k], then->second);
                // Sizes near the ends of the range saturate instead of wrapping.
                __int128 exact = static_cast<__int128>(now.at(std::string(dirs[k]))) - then->second;
                if (exact > INT64_MAX || exact < INT64_MIN + 1) {
                    EXPECT_EQ(changes.Change(k) > 0, exact > 0);
                } else {
                    EXPECT_EQ(changes.Change(k), static_cast<std::int64_t>(exact));
                }
            } else {
                EXPECT_EQ(changes.Change(k), now.at(std::string(dirs[k])));
            }
        }

        TFolderSizes gone;
        for (const auto& [path, size] : before) {
            if (now.count(path) == 0) {
                gone[path] = size;
            }
        }
        ASSERT_EQ(changes.GoneDirs.size(), gone.size());
        std::size_t g = 0;
        for (const auto& [path, size] : gone) {
            EXPECT_EQ(changes.GoneDirs[g], path);
            EXPECT_EQ(changes.GoneSizes[g], size);
            ++g;
        }

        // Gone folders directly inside every folder of both sets, by both
        // spellings of the root.
        std::map<std::string, std::vector<std::string>> inside;
        for (const auto& entry : gone) {
            inside[ParentOf(entry.first)].push_back(entry.first);
        }
        for (const TFolderSizes* set : {&before, &now}) {
            for (const auto& entry : *set) {
                std::vector<std::string> found;
                for (std::size_t at : changes.GoneInside(entry.first)) {
                    found.emplace_back(changes.GoneDirs[at]);
                }
                EXPECT_EQ(found, inside[entry.first]) << entry.first;
            }
        }
        std::vector<std::string> atRoot;
        for (std::size_t at : changes.GoneInside("C:\\")) {
            atRoot.emplace_back(changes.GoneDirs[at]);
        }
        EXPECT_EQ(atRoot, inside["C:"]);
        if (now == before) {
            EXPECT_TRUE(changes.GoneDirs.empty());
        }
    }
}

}  // namespace
