#include "views/treemap/TreemapTileText.h"

#include "views/common/DisplayText.h"
#include "views/common/NumberText.h"
#include "views/common/PathText.h"
#include "views/treemap/TreemapLayout.h"
#include "views/treemap/TreemapSource.h"

std::string TilePath(const TTreemapSource& source, const TTreemapTile& tile) {
    if (tile.Depth == 0)
        return source.TopPath();
    if (tile.Depth == 1 && tile.Top >= 0)
        return source.Top()[static_cast<std::size_t>(tile.Top)].Path;
    switch (tile.Item.Kind) {
        case TTileKind::File:
            return tile.Item.Ref >= 0 ? source.File(tile.Item.Ref).Path : std::string();
        case TTileKind::Folder:
        case TTileKind::OwnFiles:
            // A tile outlives no change of the lists, but asks safely.
            return tile.Item.Ref >= 0 &&
                           static_cast<std::size_t>(tile.Item.Ref) < source.Dirs().size()
                       ? std::string(source.Dirs()[static_cast<std::size_t>(tile.Item.Ref)])
                       : std::string();
        case TTileKind::Rest:
            break;
    }
    return std::string();
}

QString TileName(const TTreemapSource& source, const TTreemapTile& tile) {
    if (tile.Item.Kind == TTileKind::OwnFiles)
        return QStringLiteral("Files");
    return DisplayText(RemoveParentDir(TilePath(source, tile)));
}

QString TileShare(const TTreemapSource& source, const TTreemapTile& tile) {
    const std::int64_t total = source.TopTotal();
    const double share =
        total > 0 ? static_cast<double>(tile.Item.Size) * 100.0 / static_cast<double>(total) : 0.0;
    return QString::fromStdString(FormatOneDecimal(share));
}

QString TileHint(const TTreemapSource& source, const TTreemapTile& tile) {
    const QString path = DisplayText(TilePath(source, tile));
    const QString where =
        tile.Item.Kind == TTileKind::OwnFiles ? QStringLiteral("Files in ") + path : path;
    return where + QStringLiteral("\nSize: ") +
           QString::fromStdString(FormatMB(std::to_string(tile.Item.Size))) +
           QStringLiteral(" MB\nShare: ") + TileShare(source, tile) + QStringLiteral(" %");
}

bool TileIsFolder(const TTreemapTile& tile) {
    return tile.Item.Kind == TTileKind::Folder;
}
