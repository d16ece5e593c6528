#pragma once
// The duplicate search below one folder: files grouped by size, then by a
// hash of their first and last blocks, then by a hash of their whole
// content; what is left are groups of copies with the same bytes (not yet
// compared byte for byte: any action does that first). Copies whose data
// lies in the same extents are marked as sharing it.
//
// Files are read on several threads (one on a spinning disk), in the order
// of their inodes and then of their places on the disk, so that a spinning
// disk reads onwards instead of seeking back and forth. A file that changes
// while it is read, or cannot be read, is left out and counted. Memory grows
// with the number of candidate files (a few hundred bytes each and their
// names), never with their sizes.
#include <atomic>
#include <cstdint>
#include <string>

#include "engine/DuplicateGroup.h"
#include "engine/DuplicateProgress.h"

struct TDuplicateOptions {
    std::int64_t MinSize = 1;  // files below this size are left out (empty files always)
    int Threads = 0;           // reading threads; 0: chosen by the kind of disk
};

class TDuplicateFinder {
  public:
    // cancel, when given, is the flag that stops the search (a program's
    // own interrupt flag); else Cancel is the finder's own.
    explicit TDuplicateFinder(TDuplicateOptions options = {}, std::atomic<bool>* cancel = nullptr)
        : Cancel(cancel ? *cancel : ownCancel_), options_(options) {}

    // Searches below nativeRoot; false when cancelled (result then empty).
    // Cancel and Progress may be used from other threads meanwhile.
    bool Run(const std::string& nativeRoot, TDuplicateResult& result);

  private:
    std::atomic<bool> ownCancel_{false};

  public:
    std::atomic<bool>& Cancel;
    TDuplicateProgress Progress;

  private:
    int ThreadsFor(const std::string& nativeRoot) const;

    TDuplicateOptions options_;
};
