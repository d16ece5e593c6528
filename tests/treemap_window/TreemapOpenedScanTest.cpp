// An opened scan file holds every file, so the treemap draws each file as a
// tile of its own, not only those of the largest-files list: an ncdu export
// of more files than that list keeps, in folders three levels deep, opened
// in the real window (offscreen).
#include <gtest/gtest.h>

#include <QFile>
#include <map>
#include <random>

#include "app/drives/DriveSelector.h"
#include "engine/LargestFiles.h"
#include "tests/treemap_window/TreemapWindowFixture.h"

namespace {

class TreemapOpenedScan : public TreemapWindow {
  protected:
    // An ncdu export of "/srv/data" (shown as "Z:\"): 1180 files of random
    // sizes within a factor of 1.5 (each big enough to be drawn), 12 in
    // the root and in each of its 4 folders, 70 in each of their 4;
    // sizes[path] for each.
    QString WriteExport() {
        std::mt19937 random(49);
        std::string json = R"([1,2,{"progname":"ncdu","progver":"1.19","timestamp":1700000000},)";
        json += Folder("/srv/data", "Z:", 0, random);
        json += "]";
        const QString file = data->filePath("tree.json");
        QFile out(file);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(json.data(), static_cast<qint64>(json.size()));
        return file;
    }
    std::string Folder(const std::string& name, const std::string& path, int depth,
                       std::mt19937& random) {
        std::string json = "[{\"name\":\"" + name + "\"}";
        for (int f = 0; f < (depth < 2 ? 12 : 70); ++f) {
            const std::string file = "file " + std::to_string(f) + ".bin";
            const std::int64_t size = 100000 + static_cast<std::int64_t>(random() % 50000);
            sizes[path + "\\" + file] = size;
            json += ",{\"name\":\"" + file + "\",\"asize\":" + std::to_string(size) +
                    ",\"dsize\":" + std::to_string((size + 4095) / 4096 * 4096) + "}";
        }
        for (int d = 0; depth < 2 && d < 4; ++d) {
            const std::string sub = "dir" + std::to_string(depth) + std::to_string(d);
            json += "," + Folder(sub, path + "\\" + sub, depth + 1, random);
        }
        return json + "]";
    }
    std::map<std::string, std::int64_t> sizes;
};

}  // namespace

TEST_F(TreemapOpenedScan, EveryFileIsATileWhoseSizeIsTheFiles) {
    OpenWindow();
    form->resize(1600, 1000);
    const QString file = WriteExport();
    ASSERT_GT(sizes.size(), kLargestFiles) << "more than the largest-files list keeps";
    form->OpenScanFile(file);
    Settle();
    ASSERT_EQ(form->Bar().Root(), "Z:\\");
    ShowTreemap();
    std::map<std::string, int> drawn;
    for (int i = 1; i < View().Layout().Count(); ++i) {
        const TTreemapTile& tile = View().Layout().Tile(i);
        EXPECT_NE(tile.Item.Kind, TTileKind::OwnFiles)
            << View().TilePathOf(i) << ": every byte of the scan is a known file's";
        if (tile.Item.Kind == TTileKind::File)
            drawn[View().TilePathOf(i)] = i;
    }
    EXPECT_EQ(drawn.size(), sizes.size());
    for (const auto& known : sizes) {
        const auto tile = drawn.find(known.first);
        ASSERT_NE(tile, drawn.end()) << known.first;
        const QRect rect = View().Layout().Tile(tile->second).Rect;
        EXPECT_GE(rect.width(), TTreemapLayout::kMinTile) << known.first;
        EXPECT_GE(rect.height(), TTreemapLayout::kMinTile) << known.first;
        // The tile under its own middle is the file's, and says its size.
        const int under = View().TileAt(rect.center());
        EXPECT_EQ(under, tile->second) << known.first;
        EXPECT_EQ(View().Layout().Tile(under).Item.Size, known.second) << known.first;
        EXPECT_TRUE(View().HintAt(rect.center()).startsWith("Z:\\")) << known.first;
    }
    KeepTreemapShot(View().grab().toImage(), "treemap-opened-scan.png");
    KeepTreemapShot(form->grab().toImage(), "treemap-opened-scan-window.png");

    // Under Disk usage the same files are drawn with their allocated bytes.
    form->miDiskUsage->trigger();
    Settle();
    const auto some = sizes.find("Z:\\dir01\\dir11\\file 2.bin");
    ASSERT_NE(some, sizes.end());
    int allocated = -1;
    for (int i = 1; i < View().Layout().Count(); ++i)
        if (View().TilePathOf(i) == some->first)
            allocated = i;
    ASSERT_GT(allocated, 0);
    EXPECT_EQ(View().Layout().Tile(allocated).Item.Size, (some->second + 4095) / 4096 * 4096);
}

TEST_F(TreemapOpenedScan, BackOnTheDriveOnlyTheStoredLargestFilesAreTiles) {
    OpenWindow();
    form->OpenScanFile(WriteExport());
    Settle();
    ShowTreemap();
    ASSERT_GT(View().Layout().Count(), static_cast<int>(sizes.size()));
    form->Drives().SetDrivesList();
    QAction* driveItem = form->Drives().pmDrives()->actions().value(0);
    ASSERT_NE(driveItem, nullptr);
    form->Drives().menuDriveClick(driveItem);
    Settle();
    ASSERT_EQ(form->Bar().Root().substr(0, 2), "C:");
    for (int i = 1; i < View().Layout().Count(); ++i)
        EXPECT_EQ(View().TilePathOf(i).substr(0, 2), "C:");
    // inner holds one file the drive's stored results do not list: one
    // tile of its files, as before the scan was opened.
    const int inner = TileOf("C:\\alpha\\inner");
    ASSERT_GT(inner, 0);
    const TTreemapTile& tile = View().Layout().Tile(inner);
    ASSERT_EQ(tile.ChildCount, 1);
    EXPECT_EQ(View().Layout().Tile(tile.FirstChild).Item.Kind, TTileKind::OwnFiles);
}
