#pragma once
// Collects the Discover data of a walk: every counted file is offered once
// (a hard-linked file at the name where its size counts) with its folder's
// number, its raw name, its sizes and its modification time. Each walking
// thread has a collector of its own, so no file waits for a lock; the
// collectors are merged when the walk ends, and the folders' numbers become
// paths only then. Memory is bounded whatever the tree: the largest files'
// bound (LargestFiles.h) and a table of at most kTypeSlots types.
//
// A file costs a look-up of its extension and a comparison of its size.
#include <cstdint>
#include <string_view>

#include "engine/DiscoverData.h"
#include "engine/FileTypeTable.h"
#include "engine/LargestFiles.h"

class TDiscoverCollector {
  public:
    explicit TDiscoverCollector(std::size_t largest = kLargestFiles) : largest_(largest) {}

    void File(std::uint32_t folder, std::string_view rawName, std::int64_t size,
              std::int64_t allocated, std::int64_t mtime) {
        types_.Add(rawName, size, allocated);
        if (largest_.Wants(size))
            largest_.Add(size, allocated, mtime, folder, rawName);
    }

    // Shares the largest files' bar with first, another walking thread's
    // collector (see TLargestFiles::Join).
    void Join(TDiscoverCollector& first) { largest_.Join(first.largest_); }
    // Takes in another walking thread's collector.
    void Merge(TDiscoverCollector&& other);
    // The data of everything offered; HasTimes false when the files came
    // without their times.
    TDiscoverData Finish(const TLargestFiles::TFolderPath& folderPath, bool hasTimes = true) const;

  private:
    TLargestFiles largest_;
    TFileTypeTable types_;
};
