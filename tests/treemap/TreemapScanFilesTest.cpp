// The files of an opened scan's folders as the treemap reads them from the
// scan's tree: for every folder, asked in any order, the files the scan's
// drive lists there (names that need escaping included), and nothing for a
// folder the scan does not hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "engine/ImportedDrive.h"
#include "platform/DriveForm.h"
#include "views/treemap/TreemapScanFiles.h"

TEST(TreemapScanFiles, EveryFolderGivesTheFilesTheScansDriveListsThere) {
    std::mt19937 random(51);
    const char* names[] = {"a", "b b", "c\\d", "e%", "f\xe9", ".g"};
    for (int trial = 0; trial < 5; ++trial) {
        auto tree = std::make_shared<TImportedTree>();
        tree->AddRoot(0);
        std::vector<std::uint32_t> folders{0};
        std::vector<std::string> paths{"Z:"};
        for (int i = 0; i < 300; ++i) {
            const std::size_t parent = random() % folders.size();
            const bool folder = random() % 3 == 0;
            const std::string name = names[random() % 6] + std::to_string(i);
            const std::uint32_t made =
                tree->Add(folders[parent], name, folder, folder ? 0 : random() % 100000, 0, false,
                          folder ? 0 : 4096);
            if (folder) {
                folders.push_back(made);
                paths.push_back(paths[parent] + '\\' + EscapeName(name));
            }
        }
        tree->Finish();
        const TImportedDrive drive(tree, 'Z');
        TTreemapScanFiles files(tree, "Z:");
        std::vector<std::size_t> order(paths.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::shuffle(order.begin(), order.end(), random);
        for (const std::size_t i : order) {
            std::vector<TDirEntry> entries;
            ASSERT_TRUE(drive.List(paths[i], entries)) << paths[i];
            std::vector<std::pair<std::string, std::int64_t>> want, got;
            for (const TDirEntry& entry : entries)
                if ((entry.Attr & faDirectory) == 0)
                    want.emplace_back(paths[i] + '\\' + EscapeName(entry.Name), entry.Size);
            std::vector<TLargeFile> listed;
            files(paths[i], listed);
            for (const TLargeFile& file : listed) {
                got.emplace_back(file.Path, file.Size);
                EXPECT_EQ(file.Allocated, 4096);
            }
            EXPECT_EQ(got, want) << paths[i];
        }
        std::vector<TLargeFile> none;
        files("Z:\\no such folder", none);
        files("Y:", none);
        EXPECT_TRUE(none.empty());
    }
}
