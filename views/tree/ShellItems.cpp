#include "views/tree/ShellItems.h"

#include <new>

#include "platform/ParallelBlocks.h"

TShellItems::TShellItems(std::size_t count, const std::function<TShellFolder(std::size_t)>& make) {
    if (count == 0) {
        return;
    }
    items_ = std::allocator<TShellFolder>().allocate(count);
    // The room is touched first by the thread that makes the item in it.
    ForEachBlock(count, [&](unsigned, std::size_t i) { new (items_ + i) TShellFolder(make(i)); });
    size_ = count;
}

TShellItems::~TShellItems() {
    if (items_ == nullptr) {
        return;
    }
    for (std::size_t i = 0; i < size_; ++i) {
        items_[i].~TShellFolder();
    }
    std::allocator<TShellFolder>().deallocate(items_, size_);
}
