#include "engine/LargestFiles.h"

#include <algorithm>

bool LargerFile(const TLargeFile& a, const TLargeFile& b) {
    if (a.Size != b.Size)
        return a.Size > b.Size;
    return a.Path < b.Path;
}

void TLargestFiles::Add(TLargeFile file) {
    if (capacity_ == 0)
        return;
    if (heap_.size() < capacity_) {
        heap_.push_back(std::move(file));
        std::push_heap(heap_.begin(), heap_.end(), LargerFile);
        return;
    }
    if (!LargerFile(file, heap_.front()))
        return;
    std::pop_heap(heap_.begin(), heap_.end(), LargerFile);
    heap_.back() = std::move(file);
    std::push_heap(heap_.begin(), heap_.end(), LargerFile);
}

void TLargestFiles::Merge(TLargestFiles&& other) {
    for (TLargeFile& file : other.heap_)
        Add(std::move(file));
    other.heap_.clear();
}

std::vector<TLargeFile> TLargestFiles::Take() {
    std::vector<TLargeFile> files = std::move(heap_);
    heap_.clear();
    std::sort(files.begin(), files.end(), LargerFile);
    return files;
}
