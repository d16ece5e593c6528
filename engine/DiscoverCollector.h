#pragma once
// Collects the Discover data of a walk: every counted file is offered once
// (a hard-linked file at the name where its size counts) with its folder,
// its raw name, its sizes and its modification time. Each walking thread
// has a collector of its own, so no file waits for a lock; the collectors
// are merged when the walk ends. Memory is bounded whatever the tree: a heap
// of kLargestFiles files and a table of at most kTypeSlots types.
//
// A file costs a look-up of its extension and a comparison of its size; the
// path of its folder is asked for only when a file of that folder enters the
// list (or ties with its smallest entry), once per folder in a row.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "engine/DiscoverData.h"
#include "engine/FileTypeTable.h"
#include "engine/LargestFiles.h"

class TDiscoverCollector {
  public:
    // The drive-form path of a folder, by the number the walk gave it.
    using TFolderPath = std::function<std::string(std::uint32_t folder)>;

    explicit TDiscoverCollector(TFolderPath folderPath, std::size_t largest = kLargestFiles)
        : folderPath_(std::move(folderPath)), largest_(largest) {}

    void File(std::uint32_t folder, std::string_view rawName, std::int64_t size,
              std::int64_t allocated, std::int64_t mtime) {
        types_.Add(rawName, size, allocated);
        if (largest_.Wants(size))
            Offer(folder, rawName, size, allocated, mtime);
    }

    // Takes in another walking thread's collector.
    void Merge(TDiscoverCollector&& other);
    // The data of everything offered; HasTimes false when the files came
    // without their times.
    TDiscoverData Finish(bool hasTimes = true);

  private:
    void Offer(std::uint32_t folder, std::string_view rawName, std::int64_t size,
               std::int64_t allocated, std::int64_t mtime);

    TFolderPath folderPath_;
    TLargestFiles largest_;
    TFileTypeTable types_;
    bool hasFolder_ = false;
    std::uint32_t folder_ = 0;
    std::string folderText_;
};
