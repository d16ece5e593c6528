#pragma once
// The largest files of a walk in a heap of fixed size: whatever the tree,
// it holds at most Capacity entries. A file that cannot enter costs one
// comparison of sizes; its path is asked for only when it ties with the
// smallest entry or enters, which after the first few thousand files is rare.
//
// Order: larger size first; equal sizes by path, byte by byte.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The most largest files kept per drive.
inline constexpr std::size_t kLargestFiles = 1000;
// A modification time that is not known (an export written without them).
inline constexpr std::int64_t kNoTime = INT64_MIN;

struct TLargeFile {
    std::string Path;  // drive form, names escaped ("C:\Data\big.iso")
    std::int64_t Size = 0;
    std::int64_t Allocated = 0;    // bytes the file takes on the disk
    std::int64_t MTime = kNoTime;  // last change, seconds since 1970

    bool operator==(const TLargeFile& o) const {
        return Path == o.Path && Size == o.Size && Allocated == o.Allocated && MTime == o.MTime;
    }
};

// True when a comes before b in the list's order.
bool LargerFile(const TLargeFile& a, const TLargeFile& b);

class TLargestFiles {
  public:
    explicit TLargestFiles(std::size_t capacity = kLargestFiles) : capacity_(capacity) {}

    // True when a file of this size may enter (it does not when the heap is
    // full of larger files): the caller then builds its path and calls Add.
    bool Wants(std::int64_t size) const {
        return heap_.size() < capacity_ || size >= heap_.front().Size;
    }
    // Offers a file; it stays when it belongs to the Capacity largest.
    void Add(TLargeFile file);
    // Offers every file of another heap (another walking thread's).
    void Merge(TLargestFiles&& other);
    // The files held, in the list's order; the heap is left empty.
    std::vector<TLargeFile> Take();

    std::size_t Capacity() const { return capacity_; }
    std::size_t Size() const { return heap_.size(); }
    bool Full() const { return heap_.size() == capacity_; }

  private:
    std::size_t capacity_;
    // A heap whose front is the entry that leaves first (the last in order).
    std::vector<TLargeFile> heap_;
};
