#include "tools/scan/ScanTreemap.h"

#include <QFile>

#include "engine/ResultStore.h"
#include "views/bar/BarData.h"
#include "views/common/ConvertError.h"
#include "views/common/RandomColor.h"
#include "views/tree/ShellListModel.h"
#include "views/treemap/TreemapColours.h"
#include "views/treemap/TreemapCushions.h"
#include "views/treemap/TreemapLayout.h"
#include "views/treemap/TreemapSource.h"
#include "views/treemap/TreemapViewsFeed.h"

QImage RenderScanTreemap(const TResultStore& store, const std::string& folder, QSize size,
                         std::string& error) {
    TShellListModel listing;
    if (!listing.SetRoot(folder)) {
        error = listing.LastError().toStdString();
        return {};
    }
    bool folderChanged = true;
    TBarData bar(store, listing, folderChanged);
    RandomizeColors();  // as the window's views are refreshed
    bar.CreateFolderBarData();
    TTreemapSource source(store.GlobalDirs(), store.ShownSizes());
    source.SetFiles(StoredLargestFiles(store), store.DiskUsage);
    FeedTop(source, store, listing, bar);
    if (source.TopStored() < 0) {
        error = folder + ": no results to draw a treemap of";
        return {};
    }
    TTreemapLayout layout;
    layout.Build(source, size);
    return RenderTreemap(
        layout, [&source](const TTreemapTile& tile) { return TreemapTileColour(source, tile); });
}

bool SaveScanTreemap(const TResultStore& store, const std::string& folder, QSize size,
                     const std::string& file, std::string& error) {
    QImage picture;
    try {
        picture = RenderScanTreemap(store, folder, size, error);
    } catch (const EConvertError& e) {
        error = folder + ": " + e.what();
        return false;
    }
    if (picture.isNull())
        return false;
    if (!picture.save(QFile::decodeName(QByteArray::fromStdString(file)), "PNG")) {
        error = file + ": cannot write the picture";
        return false;
    }
    return true;
}
