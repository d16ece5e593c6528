#include "engine/DiscoverCollector.h"

void TDiscoverCollector::SetScanTime(std::int64_t scanTime) {
    // A time so early that a year before it cannot be told collects none.
    const bool known = scanTime != kNoTime && scanTime > kNoTime + kOldSeconds;
    scanTime_ = known ? scanTime : kNoTime;
    oldBefore_ = known ? scanTime - kOldSeconds : kNoTime;
}

void TDiscoverCollector::Join(TDiscoverCollector& first) {
    // The threads' sinks are made one after another: one walk, one time.
    SetScanTime(first.scanTime_);
    largest_.Join(first.largest_);
    old_.Join(first.old_);
    types_.Join(first.types_);
}

void TDiscoverCollector::Merge(TDiscoverCollector&& other) {
    largest_.Merge(std::move(other.largest_));
    old_.Merge(std::move(other.old_));
    types_.Merge(std::move(other.types_));
}

TDiscoverData TDiscoverCollector::Finish(const TLargestFiles::TFolderPath& folderPath,
                                         bool hasTimes, std::size_t keptTypes) const {
    TDiscoverData data;
    data.Largest = largest_.Finish(folderPath, data.Floor);
    data.HasTimes = hasTimes;
    data.Types = types_.Finish(keptTypes);
    data.TypeFiles = types_.FinishFiles(data.Types, folderPath);
    data.TypeFilesKnown = true;
    if (hasTimes && scanTime_ != kNoTime) {
        data.Old.Files = old_.Finish(folderPath, data.Old.Floor);
        data.ScanTime = scanTime_;
    }
    if (!hasTimes) {
        for (TLargeFile& f : data.Largest)
            f.MTime = kNoTime;
        for (auto& [ext, list] : data.TypeFiles)
            for (TLargeFile& f : list.Files)
                f.MTime = kNoTime;
    }
    return data;
}
