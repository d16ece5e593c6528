#pragma once
// Collects the Discover data of a walk: every counted file is offered once
// (a hard-linked file at the name where its size counts) with its folder's
// number, its raw name, its sizes and its modification time. Each walking
// thread has a collector of its own, so no file waits for a lock; the
// collectors are merged when the walk ends, and the folders' numbers become
// paths only then. Memory is bounded whatever the tree: the bounds of the
// largest and the old files (LargestFiles.h) and a table of at most
// kTypeSlots types, each with its bounded list (FileTypeTable.h).
//
// A file costs a look-up of its extension and a comparison of its size
// with each list it could make (its type's, the largest, the old files');
// only a file that makes a list is copied.
#include <cstdint>
#include <string_view>

#include "engine/DiscoverData.h"
#include "engine/FileTypeTable.h"
#include "engine/LargestFiles.h"

class TDiscoverCollector {
  public:
    // ScanTime: the scan's start, from which the old files are counted;
    // kNoTime collects none.
    explicit TDiscoverCollector(std::size_t largest = kLargestFiles,
                                std::int64_t scanTime = kNoTime)
        : largest_(largest) {
        SetScanTime(scanTime);
    }
    // For a reader that learns the time only at its start (an export's
    // header); before any file.
    void SetScanTime(std::int64_t scanTime);

    // Named false: rawName only tells the type ("*.ext"), and the file
    // cannot make a list (MayList said so).
    void File(std::uint32_t folder, std::string_view rawName, std::int64_t size,
              std::int64_t allocated, std::int64_t mtime, bool named = true) {
        TLargestFiles* typed = types_.Add(rawName, size, allocated);
        if (!named)
            return;
        if (typed != nullptr && typed->Wants(size))
            typed->Add(size, allocated, mtime, folder, rawName);
        if (largest_.Wants(size))
            largest_.Add(size, allocated, mtime, folder, rawName);
        if (mtime < oldBefore_ && old_.Wants(size))
            old_.Add(size, allocated, mtime, folder, rawName);
    }

    // Whether a file could make any of the lists now; once false, it stays
    // false for the file (the lists only ever take larger files).
    bool MayList(std::string_view rawName, std::int64_t size, std::int64_t mtime) const {
        return largest_.Wants(size) || (mtime < oldBefore_ && old_.Wants(size)) ||
               types_.MayList(rawName, size);
    }

    // Shares the lists of largest files (all, old, per type) and the scan
    // time with first, another walking thread's collector (see
    // TLargestFiles::Join).
    void Join(TDiscoverCollector& first);
    // Takes in another walking thread's collector.
    void Merge(TDiscoverCollector&& other);
    // The data of everything offered; HasTimes false when the files came
    // without their times (and then no old files). KeptTypes: how many
    // types are listed by name (and with their files).
    TDiscoverData Finish(const TLargestFiles::TFolderPath& folderPath, bool hasTimes = true,
                         std::size_t keptTypes = kKeptTypes) const;

  private:
    TLargestFiles largest_;
    TLargestFiles old_{kOldFiles};
    TFileTypeTable types_;
    std::int64_t scanTime_ = kNoTime;
    std::int64_t oldBefore_ = kNoTime;  // no time is before it
};
