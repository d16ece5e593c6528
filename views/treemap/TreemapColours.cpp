#include "views/treemap/TreemapColours.h"

#include <algorithm>
#include <cmath>

#include "engine/ResultChanges.h"
#include "views/common/Colors.h"
#include "views/treemap/TreemapLayout.h"
#include "views/treemap/TreemapSource.h"

namespace {

constexpr int kFileLighter = 40;
constexpr int kOwnFilesLighter = 60;
constexpr QRgb kCurrentFolderGrey = 0xffc8c8c8;

QRgb Rgb(TColor colour) {
    const TColor rgb = ColorToRGB(colour);
    return qRgb(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
}

QRgb Mix(QRgb a, QRgb b, double share) {
    auto channel = [share](int x, int y) {
        return static_cast<int>(std::lround(x + (y - x) * share));
    };
    return qRgb(channel(qRed(a), qRed(b)), channel(qGreen(a), qGreen(b)),
                channel(qBlue(a), qBlue(b)));
}

QRgb ChangeTint(QRgb base, const TResultChanges& changes, const TTreemapTile& tile) {
    const auto k = static_cast<std::size_t>(tile.Item.Ref);
    if (tile.Item.Kind != TTileKind::Folder || tile.Item.Ref < 0 || k >= changes.Before.size())
        return base;
    const std::int64_t change = changes.Change(k);
    if (change == 0)
        return base;
    // A quarter of the tint for any change, the rest as the change nears
    // the folder's size.
    const double size = static_cast<double>(std::max<std::int64_t>(tile.Item.Size, 1));
    const double weight = 0.25 + 0.5 * std::min(1.0, std::abs(static_cast<double>(change)) / size);
    return Mix(base, change > 0 ? qRgb(230, 40, 40) : qRgb(40, 190, 60), weight);
}

}  // namespace

QRgb TreemapTileColour(const TTreemapSource& source, const TTreemapTile& tile,
                       const TResultChanges* changes) {
    if (tile.Depth == 0 || tile.Top < 0 ||
        static_cast<std::size_t>(tile.Top) >= source.Top().size())
        return kCurrentFolderGrey;
    const TColor row = source.Top()[static_cast<std::size_t>(tile.Top)].Color;
    QRgb base = Rgb(row);
    if (tile.Item.Kind == TTileKind::File)
        base = Rgb(ChangeLightness(row, kFileLighter));
    else if (tile.Item.Kind == TTileKind::OwnFiles)
        base = Rgb(ChangeLightness(row, kOwnFilesLighter));
    return changes ? ChangeTint(base, *changes, tile) : base;
}
