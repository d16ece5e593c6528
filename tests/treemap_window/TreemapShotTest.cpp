// The treemap panel of the real window as the user sees it, over a scanned
// tree of 4000 folders and over a folder of one file; the pictures are
// written to $CQ_SHOT_DIR when it is set, to be looked at.
#include <gtest/gtest.h>

#include <QSet>
#include <random>

#include "app/treemap/TreemapPanel.h"
#include "app/treemap/TreemapView.h"
#include "engine/AnalizeDisk.h"
#include "engine/ResultStore.h"
#include "tests/window/WindowFixture.h"

namespace {

void Keep(const QImage& shot, const QString& name) {
    const QString folder = qEnvironmentVariable("CQ_SHOT_DIR");
    if (!folder.isEmpty())
        shot.save(QDir(folder).filePath(name), "PNG");
}

class TreemapShot : public WindowFixture {
  protected:
    // 4000 folders in a random tree below "big", each with a file of a
    // size over five orders of magnitude (sparse: no disk space is used).
    void MakeBigTree() {
        std::mt19937 random(4000);
        std::vector<QString> folders{QDir(drive->path()).filePath("big")};
        ASSERT_TRUE(QDir().mkpath(folders[0]));
        for (int i = 1; i < 4000; ++i) {
            const QString parent = folders[random() % folders.size()];
            folders.push_back(parent + QStringLiteral("/d%1").arg(i));
            ASSERT_TRUE(QDir().mkpath(folders.back()));
            QFile file(folders.back() + "/f.bin");
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            ASSERT_TRUE(file.resize(qint64(1) << (10 + random() % 17)));
        }
    }
    void StoreScan() {
        storeResults = false;
        TAnalizeDisk analyzer;
        analyzer.Directory = "C:\\";
        analyzer.Recurse = true;
        analyzer.Execute();
        TResultStore store;
        store.SetFiles("C:");
        ASSERT_TRUE(
            store.SaveAnalizeData({analyzer.Dirs(), analyzer.DirSizes(), analyzer.Percents()}));
    }
    TTreemapView& View() { return *form->Treemap().View(); }
    int Colours(const QImage& image) {
        QSet<QRgb> seen;
        for (int y = 0; y < image.height(); y += 2)
            for (int x = 0; x < image.width(); x += 2)
                seen.insert(image.pixel(x, y));
        return seen.size();
    }
};

}  // namespace

TEST_F(TreemapShot, AScannedTreeOfFourThousandFolders) {
    MakeBigTree();
    StoreScan();
    OpenWindow();
    form->resize(1000, 650);
    form->miFolderTree->trigger();
    form->miTreemap->trigger();
    Settle();
    DoubleClickRow("big");
    ASSERT_EQ(form->Bar().Root(), "C:\\big");
    Settle();
    const QImage window = form->grab().toImage();
    Keep(window, "treemap-4000-folders.png");
    const QImage map = View().grab().toImage();
    // Hundreds of folders big enough to see, each shaded: many colours
    // (drawn flat, the rows' few colours and their lighter files).
    int folders = 0;
    for (const TTreemapTile& tile : View().Layout().Tiles())
        folders += tile.Item.Kind == TTileKind::Folder && tile.Depth > 0;
    EXPECT_GT(folders, 300);
    EXPECT_GT(Colours(map), 500);
    // No tile the user cannot see.
    for (const TTreemapTile& tile : View().Layout().Tiles())
        if (tile.Item.Kind != TTileKind::Rest) {
            EXPECT_GE(tile.Rect.width(), 3);
            EXPECT_GE(tile.Rect.height(), 3);
        }
}

TEST_F(TreemapShot, AFolderOfOneFileIsOneTile) {
    QDir root(drive->path());
    ASSERT_TRUE(root.mkpath("one"));
    QFile file(root.filePath("one/only.iso"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(5 << 20));
    file.close();
    StoreScan();
    OpenWindow();
    form->miTreemap->trigger();
    Settle();
    DoubleClickRow("one");
    ASSERT_EQ(form->Bar().Root(), "C:\\one");
    Settle();
    Keep(form->grab().toImage(), "treemap-one-file.png");
    const std::vector<int> top = View().TopTiles();
    ASSERT_EQ(top.size(), 1u);
    EXPECT_EQ(View().Layout().Tile(top[0]).Rect, View().rect()) << "the file fills the panel";
    EXPECT_EQ(View().HintAt(View().rect().center()),
              "C:\\one\\only.iso\nSize: 5.0 MB\nShare: 100.0 %");
    // Cushion shading: lit from the top left.
    const QImage map = View().grab().toImage();
    const QColor lit = map.pixelColor(map.width() / 4, map.height() / 4);
    const QColor shade = map.pixelColor(map.width() * 3 / 4, map.height() * 3 / 4);
    EXPECT_GT(lit.lightness(), shade.lightness());
}
