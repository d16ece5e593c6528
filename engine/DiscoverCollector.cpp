#include "engine/DiscoverCollector.h"

#include "platform/DriveForm.h"

void TDiscoverCollector::Offer(std::uint32_t folder, std::string_view rawName, std::int64_t size,
                               std::int64_t allocated, std::int64_t mtime) {
    if (!hasFolder_ || folder != folder_) {
        folderText_ = folderPath_(folder);
        folder_ = folder;
        hasFolder_ = true;
    }
    TLargeFile file;
    file.Path.reserve(folderText_.size() + 1 + rawName.size());
    file.Path = folderText_;
    file.Path += '\\';
    file.Path += EscapeName(rawName);
    file.Size = size;
    file.Allocated = allocated;
    file.MTime = mtime;
    largest_.Add(std::move(file));
}

void TDiscoverCollector::Merge(TDiscoverCollector&& other) {
    largest_.Merge(std::move(other.largest_));
    types_.Merge(std::move(other.types_));
}

TDiscoverData TDiscoverCollector::Finish(bool hasTimes) {
    TDiscoverData data;
    data.Largest = largest_.Take();
    data.HasTimes = hasTimes;
    if (!hasTimes)
        for (TLargeFile& f : data.Largest)
            f.MTime = kNoTime;
    data.Types = types_.Finish();
    return data;
}
