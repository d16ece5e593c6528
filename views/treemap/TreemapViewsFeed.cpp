#include "views/treemap/TreemapViewsFeed.h"

#include "engine/DiscoverData.h"
#include "engine/DiscoverRole.h"
#include "engine/ResultStore.h"
#include "views/bar/BarData.h"
#include "views/common/Colors.h"
#include "views/common/ListLookup.h"
#include "views/common/NumberText.h"
#include "views/tree/ListedChildLookup.h"
#include "views/tree/ListedFolderLookup.h"
#include "views/tree/ShellListModel.h"
#include "views/treemap/TreemapSource.h"

void FeedTop(TTreemapSource& source, const TResultStore& store, const TShellListModel& listing,
             const TBarData& bar) {
    const int current = FindListedFolder(store.GlobalDirs(), listing.Root());
    const std::int64_t total = current == -1 ? 0 : IntValFromSL(store.ShownSizes(), current);
    const TListedChildLookup children(store.GlobalDirs(), listing.Root());
    std::vector<TTreemapTop> top;
    const bool rows = bar.BarDataReady &&
                      bar.BarSizes.size() == static_cast<std::size_t>(listing.Count()) &&
                      bar.BarColors.size() == bar.BarSizes.size();
    if (rows) {
        top.reserve(bar.BarSizes.size());
        for (int i = 0; i < listing.Count(); ++i) {
            const auto row = static_cast<std::size_t>(i);
            TTreemapTop item;
            item.Path = listing.Item(i).PathName();
            item.Size = std::max<std::int64_t>(0, StrToInt64(bar.BarSizes[row]));
            item.Stored = children.Find(item.Path);
            item.Folder = item.Stored != -1 || bar.BarItemIsFolder(i);
            item.Color = StringToColor(bar.BarColors[row]);
            top.push_back(std::move(item));
        }
    }
    source.SetTop(listing.Root(), current, total, std::move(top));
}

std::vector<TLargeFile> StoredLargestFiles(const TResultStore& store) {
    const auto lines = store.GlobalExtras().find(kDiscoverRole);
    TDiscoverData data;
    std::string error;
    if (lines == store.GlobalExtras().end() ||
        !TDiscoverData::FromLines(lines->second, data, error))
        return {};
    return std::move(data.Largest);
}
