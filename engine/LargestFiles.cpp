#include "engine/LargestFiles.h"

#include <algorithm>

#include "platform/DriveForm.h"

bool LargerFile(const TLargeFile& a, const TLargeFile& b) {
    if (a.Size != b.Size)
        return a.Size > b.Size;
    return a.Path < b.Path;
}

void TLargestFiles::Add(std::int64_t size, std::int64_t allocated, std::int64_t mtime,
                        std::uint32_t folder, std::string_view rawName) {
    if (capacity_ == 0 || !Wants(size))
        return;
    groups_[size].push_back({allocated, mtime, folder, std::string(rawName)});
    ++count_;
    Prune();
    RaiseBar();
}

void TLargestFiles::Join(TLargestFiles& first) {
    if (!first.bar_)
        first.bar_ = std::make_shared<std::atomic<std::int64_t>>(INT64_MIN);
    bar_ = first.bar_;
}

void TLargestFiles::RaiseBar() {
    if (!bar_ || count_ < capacity_ || groups_.empty())
        return;
    const std::int64_t least = groups_.begin()->first;
    std::int64_t bar = bar_->load(std::memory_order_relaxed);
    while (least > bar && !bar_->compare_exchange_weak(bar, least, std::memory_order_relaxed)) {
    }
}

// Sizes that Capacity larger files leave out go; then, while the files of
// the smallest size kept overflow the bound (Tied), that size is given up.
void TLargestFiles::Prune() {
    while (!groups_.empty()) {
        const std::size_t smallest = groups_.begin()->second.size();
        const bool beaten = count_ - smallest >= capacity_;
        const bool overflowing = count_ > capacity_ + tied_;
        if (!beaten && !overflowing)
            return;
        if (!beaten)
            floor_ = std::max(floor_, groups_.begin()->first);
        count_ -= smallest;
        groups_.erase(groups_.begin());
    }
}

void TLargestFiles::Merge(TLargestFiles&& other) {
    floor_ = std::max(floor_, other.floor_);
    for (auto it = groups_.begin(); it != groups_.end() && it->first <= floor_;) {
        count_ -= it->second.size();
        it = groups_.erase(it);
    }
    for (auto& [size, files] : other.groups_) {
        if (size <= floor_)
            continue;
        std::vector<Pending>& mine = groups_[size];
        count_ += files.size();
        for (Pending& f : files)
            mine.push_back(std::move(f));
        Prune();
    }
    other.groups_.clear();
    other.count_ = 0;
}

std::vector<TLargeFile> TLargestFiles::Finish(const TFolderPath& folderPath,
                                              std::int64_t& floor) const {
    std::vector<TLargeFile> files;
    files.reserve(count_);
    std::map<std::uint32_t, std::string> paths;
    for (auto it = groups_.rbegin(); it != groups_.rend(); ++it) {
        for (const Pending& f : it->second) {
            auto known = paths.find(f.Folder);
            if (known == paths.end())
                known = paths.emplace(f.Folder, folderPath(f.Folder)).first;
            files.push_back(
                {known->second + "\\" + EscapeName(f.Name), it->first, f.Allocated, f.MTime});
        }
    }
    std::sort(files.begin(), files.end(), LargerFile);
    if (files.size() > capacity_)
        files.resize(capacity_);
    floor = floor_;
    return files;
}
