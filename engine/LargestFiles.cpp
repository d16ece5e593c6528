#include "engine/LargestFiles.h"

#include <algorithm>
#include <limits>

#include "platform/DriveForm.h"

bool LargerFile(const TLargeFile& a, const TLargeFile& b) {
    if (a.Size != b.Size)
        return a.Size > b.Size;
    return a.Path < b.Path;
}

std::int64_t TLargestFiles::Core::Least() const {
    const std::int64_t aboveFloor =
        Floor == std::numeric_limits<std::int64_t>::max() ? Floor : Floor + 1;
    return Count < Capacity ? aboveFloor : std::max(aboveFloor, Groups.begin()->first);
}

void TLargestFiles::Add(std::int64_t size, std::int64_t allocated, std::int64_t mtime,
                        std::uint32_t folder, std::string_view rawName) {
    if (!shared_) {
        if (core_.Capacity != 0 && core_.Wants(size))
            core_.Add(size, {allocated, mtime, folder, std::string(rawName)});
        return;
    }
    std::lock_guard<std::mutex> guard(shared_->Lock);
    Core& list = shared_->List;
    if (list.Capacity == 0 || !list.Wants(size))
        return;  // another thread's file got there first
    list.Add(size, {allocated, mtime, folder, std::string(rawName)});
    shared_->Least.store(list.Least(), std::memory_order_relaxed);
}

void TLargestFiles::Core::Add(std::int64_t size, Pending file) {
    Groups[size].push_back(std::move(file));
    ++Count;
    Prune();
}

void TLargestFiles::Join(TLargestFiles& first) {
    if (!first.shared_) {
        first.shared_ = std::make_shared<Shared>(std::move(first.core_));
        first.shared_->Least.store(first.shared_->List.Least(), std::memory_order_relaxed);
    }
    shared_ = first.shared_;
}

// Sizes that Capacity larger files leave out go; then, while the files of
// the smallest size kept overflow the bound (Tied), that size is given up.
void TLargestFiles::Core::Prune() {
    while (!Groups.empty()) {
        const std::size_t smallest = Groups.begin()->second.size();
        const bool beaten = Count - smallest >= Capacity;
        const bool overflowing = Count > Capacity + Tied;
        if (!beaten && !overflowing)
            return;
        if (!beaten)
            Floor = std::max(Floor, Groups.begin()->first);
        Count -= smallest;
        Groups.erase(Groups.begin());
    }
}

void TLargestFiles::Merge(TLargestFiles&& other) {
    if (shared_ && shared_ == other.shared_)
        return;  // its files are in this very list
    Core& mine = shared_ ? shared_->List : core_;
    mine.Merge(other.shared_ ? std::move(other.shared_->List) : std::move(other.core_));
    if (shared_)
        shared_->Least.store(mine.Least(), std::memory_order_relaxed);
}

void TLargestFiles::Core::Merge(Core&& other) {
    Floor = std::max(Floor, other.Floor);
    for (auto it = Groups.begin(); it != Groups.end() && it->first <= Floor;) {
        Count -= it->second.size();
        it = Groups.erase(it);
    }
    for (auto& [size, files] : other.Groups) {
        if (size <= Floor)
            continue;
        std::vector<Pending>& mine = Groups[size];
        Count += files.size();
        for (Pending& f : files)
            mine.push_back(std::move(f));
        Prune();
    }
    other.Groups.clear();
    other.Count = 0;
}

std::vector<TLargeFile> TLargestFiles::Finish(const TFolderPath& folderPath,
                                              std::int64_t& floor) const {
    const Core& list = List();
    std::vector<TLargeFile> files;
    files.reserve(list.Count);
    std::map<std::uint32_t, std::string> paths;
    for (auto it = list.Groups.rbegin(); it != list.Groups.rend(); ++it) {
        for (const Pending& f : it->second) {
            auto known = paths.find(f.Folder);
            if (known == paths.end())
                known = paths.emplace(f.Folder, folderPath(f.Folder)).first;
            files.push_back(
                {known->second + "\\" + EscapeName(f.Name), it->first, f.Allocated, f.MTime});
        }
    }
    std::sort(files.begin(), files.end(), LargerFile);
    if (files.size() > list.Capacity)
        files.resize(list.Capacity);
    floor = list.Floor;
    return files;
}
