// An imported scan browsed like a drive: every folder of a random tree,
// listed from our export of it, shows the same items in the same order with
// the same kinds, sizes and times as the listing of the tree itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "engine/ExportInput.h"
#include "engine/ImportedDrive.h"
#include "engine/NcduExport.h"
#include "engine/NcduImport.h"
#include "platform/FileInfo.h"
#include "tests/engine/RandomTree.h"
#include "tests/viewdata/TempDrive.h"
#include "views/tree/ShellListModel.h"

namespace {

std::shared_ptr<TImportedTree> ExportAndImport(const std::string& root, const std::string& file,
                                               TNcduImport& result) {
    std::string error;
    TExportOutput out;
    TExportSettings settings;
    settings.NativeRoot = root;
    EXPECT_TRUE(out.Open(file, error) && ExportNcdu(settings, out, error) && out.Commit(error))
        << error;
    TExportInput in;
    auto tree = std::make_shared<TImportedTree>();
    EXPECT_TRUE(in.Open(file, error)) << error;
    EXPECT_TRUE(ImportNcdu(
        in, [](const std::string&) { return std::string("T:"); }, result, error, tree.get()))
        << error;
    return tree;
}

// What a listing shows of an item; links are shown as the items they are
// in the export (not regular files), whatever they point to.
std::string Row(const TShellFolder& item, bool imported) {
    const bool link = item.IsLink() || item.Kind() == TShellFolder::TKind::Other;
    const char* kind = item.Kind() == TShellFolder::TKind::Folder ? "folder"
                       : link                                     ? "other"
                                                                  : "file";
    if (!imported && item.Kind() == TShellFolder::TKind::FolderLink)
        kind = "other";
    const std::string size = std::string(kind) == "file" ? std::to_string(item.Size()) : "-";
    return item.PathName() + " " + kind + " " + size + " " + std::to_string(item.LastWrite());
}

}  // namespace

TEST(ImportedListing, EveryFolderListsAsOnTheDrive) {
    TTempDrive drive;
    MakeRandomTree(drive.Native("tree"), 7, 80, 160);
    TNcduImport result;
    const auto tree = ExportAndImport(drive.Native("tree"), drive.Native("scan.json"), result);
    ASSERT_GT(result.Dirs.size(), 80u);
    TImportedDrive imported(tree, 'T');

    TShellListModel fromDisk, fromScan;
    for (std::string_view dir : result.Dirs) {
        const std::string path = dir == "T:" ? "T:\\tree" : "T:\\tree" + std::string(dir.substr(2));
        const std::string shown = dir == "T:" ? "T:\\" : std::string(dir);
        ASSERT_TRUE(fromDisk.SetRoot(path)) << path;
        {
            // Lookups of the imported paths answer as the listing does.
            TScopedVirtualDrive scope(imported);
            ASSERT_TRUE(fromScan.SetRoot(shown)) << shown;
            EXPECT_TRUE(FolderExists(shown));
            for (const TShellFolder& item : fromScan.Items()) {
                TDirEntry entry;
                ASSERT_TRUE(LookupEntry(item.PathName(), entry)) << item.PathName();
                EXPECT_EQ(entry.Size, item.Size());
                EXPECT_EQ(FolderExists(item.PathName()), item.IsFolder());
            }
        }
        // A link to a folder sorts with the folders on the drive and with
        // the other items in the scan: the rows are compared as sets.
        std::vector<std::string> disk, scan;
        for (int i = 0; i < fromDisk.Count(); ++i) {
            disk.push_back(Row(fromDisk.Item(i), false).replace(0, path.size(), dir));
            scan.push_back(Row(fromScan.Item(i), true));
            EXPECT_TRUE(fromScan.Item(i).NativePath().empty());
        }
        std::sort(disk.begin(), disk.end());
        std::sort(scan.begin(), scan.end());
        EXPECT_EQ(disk, scan);
    }
    TScopedVirtualDrive scope(imported);
    EXPECT_FALSE(fromScan.SetRoot("T:\\no such folder"));
    EXPECT_FALSE(fromScan.SetRoot("U:\\"));
}
