#include "engine/DiscoverCollector.h"

void TDiscoverCollector::Merge(TDiscoverCollector&& other) {
    largest_.Merge(std::move(other.largest_));
    types_.Merge(std::move(other.types_));
}

TDiscoverData TDiscoverCollector::Finish(const TLargestFiles::TFolderPath& folderPath,
                                         bool hasTimes) const {
    TDiscoverData data;
    data.Largest = largest_.Finish(folderPath, data.Floor);
    data.HasTimes = hasTimes;
    if (!hasTimes)
        for (TLargeFile& f : data.Largest)
            f.MTime = kNoTime;
    data.Types = types_.Finish();
    return data;
}
