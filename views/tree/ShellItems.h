#pragma once
// The items of one listing, in their order, made once and never changed: a
// folder's items are each made in their place on a few threads, so that a
// folder of a hundred thousand files pays neither for empty items first nor
// for filling them one after the other on the window's thread.
#include <cstddef>
#include <functional>
#include <memory>

#include "views/tree/ShellFolder.h"

class TShellItems {
  public:
    TShellItems() = default;
    // count items, item i made by make(i); make is called on several
    // threads at once for a large count (each i once) and must not throw.
    TShellItems(std::size_t count, const std::function<TShellFolder(std::size_t)>& make);
    ~TShellItems();
    TShellItems(const TShellItems&) = delete;
    TShellItems& operator=(const TShellItems&) = delete;

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const TShellFolder& operator[](std::size_t i) const { return items_[i]; }
    const TShellFolder* begin() const { return items_; }
    const TShellFolder* end() const { return items_ + size_; }

  private:
    TShellFolder* items_ = nullptr;  // raw room for size_ items, each made in place
    std::size_t size_ = 0;
};
