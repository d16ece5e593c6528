// What the treemap's colours and shading say: a tile takes its row's
// colour, files are lighter, a grown folder turns red and a shrunk one
// green while the change view compares, and cushions are lit from the top
// left with the ridges of every level.
#include <gtest/gtest.h>

#include <QColor>

#include "engine/ResultChanges.h"
#include "views/treemap/TreemapColours.h"
#include "views/treemap/TreemapCushions.h"
#include "views/treemap/TreemapLayout.h"
#include "views/treemap/TreemapSource.h"

namespace {

struct TTwoFolders {
    TStringList Dirs{"C:", "C:\\a", "C:\\a\\x", "C:\\b"};
    TStringList Sizes{"1000", "600", "300", "400"};
    TTreemapSource Source{Dirs, Sizes};
    TTwoFolders() {
        Source.SetTop("C:\\", 0, 1000,
                      {{"C:\\a", 600, true, 1, RGBColor(200, 40, 40)},
                       {"C:\\b", 400, true, 3, RGBColor(40, 40, 200)}});
    }
};

TTreemapTile Tile(TTileKind kind, int ref, int top, std::int64_t size, int depth = 1) {
    TTreemapTile tile;
    tile.Item = {kind, size, ref};
    tile.Top = top;
    tile.Depth = static_cast<std::uint16_t>(depth);
    return tile;
}

}  // namespace

TEST(TreemapColours, RowColourFilesLighterChangesTinted) {
    TTwoFolders f;
    const QColor a =
        QColor::fromRgb(TreemapTileColour(f.Source, Tile(TTileKind::Folder, 1, 0, 600)));
    EXPECT_EQ(a, QColor(200, 40, 40));
    const QColor deep =
        QColor::fromRgb(TreemapTileColour(f.Source, Tile(TTileKind::Folder, 2, 0, 300, 2)));
    EXPECT_EQ(deep, a) << "a folder further down keeps its row's colour";
    const QColor files =
        QColor::fromRgb(TreemapTileColour(f.Source, Tile(TTileKind::OwnFiles, 1, 0, 300, 2)));
    EXPECT_GT(files.lightness(), a.lightness());

    TResultChanges changes;
    changes.Now = {1000, 600, 300, 400};
    changes.Before = {1000, 300, 300, 800};  // a grew by 300, b lost 400
    const QColor grown =
        QColor::fromRgb(TreemapTileColour(f.Source, Tile(TTileKind::Folder, 1, 0, 600), &changes));
    const QColor shrunk =
        QColor::fromRgb(TreemapTileColour(f.Source, Tile(TTileKind::Folder, 3, 1, 400), &changes));
    const QColor same = QColor::fromRgb(
        TreemapTileColour(f.Source, Tile(TTileKind::Folder, 2, 0, 300, 2), &changes));
    EXPECT_GT(grown.red() - grown.green(), 0);
    EXPECT_GT(shrunk.green(), QColor(40, 40, 200).green() + 40) << "shrunk turns green";
    EXPECT_EQ(same, a) << "no change, no tint";
}

TEST(TreemapCushions, LitFromTheTopLeftWithARidgePerLevel) {
    // A slope rising to the right and down faces the light at the top left;
    // one falling that way is darker.
    EXPECT_GT(CushionLight(0.3, 0.3), CushionLight(0.0, 0.0));
    EXPECT_LT(CushionLight(-1.0, -1.0), CushionLight(0.0, 0.0));
    EXPECT_GT(CushionLight(0.0, 2.0), CushionLight(0.0, -2.0));

    TTwoFolders f;
    TTreemapLayout layout;
    layout.Build(f.Source, QSize(200, 100));
    const QImage picture = RenderTreemap(
        layout, [&f](const TTreemapTile& tile) { return TreemapTileColour(f.Source, tile); });
    ASSERT_EQ(picture.size(), QSize(200, 100));
    for (int i = 1; i < layout.Count(); ++i) {
        const TTreemapTile& tile = layout.Tile(i);
        if (tile.ChildCount != 0 || tile.Item.Kind == TTileKind::Rest)
            continue;
        // Inside every leaf, its top left is lighter than its bottom right.
        const QRect r = tile.Rect.adjusted(2, 2, -2, -2);
        EXPECT_GT(QColor(picture.pixel(r.topLeft())).lightness(),
                  QColor(picture.pixel(r.bottomRight())).lightness())
            << i;
    }
    // a's frame is drawn darker than its tiles.
    const int a = layout.TileOfTop(0);
    ASSERT_GT(layout.Tile(a).ChildCount, 0);
    const QPoint corner = layout.Tile(a).Rect.topLeft();
    EXPECT_LT(QColor(picture.pixel(corner)).lightness(),
              QColor(picture.pixel(corner + QPoint(3, 3))).lightness());
}
