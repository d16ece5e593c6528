#pragma once
// How far a duplicate search is, read from any thread while it runs.
#include <atomic>
#include <chrono>
#include <cstdint>

struct TDuplicateProgress {
    enum Stage : int { kListing, kComparingEnds, kHashing, kExtents, kDone };
    std::atomic<int> Step{kListing};
    std::atomic<std::uint64_t> FilesListed{0};  // regular files seen by the walk
    std::atomic<std::uint64_t> Candidates{0};   // files sharing their size with another
    std::atomic<std::uint64_t> FilesHashed{0};
    std::atomic<std::uint64_t> BytesHashed{0};
    // Bytes the search will read in all, as far as known: it grows when the
    // whole-content hashing begins.
    std::atomic<std::uint64_t> BytesToHash{0};
    std::atomic<std::uint64_t> Changed{0};     // files that changed while read: left out
    std::atomic<std::uint64_t> Unreadable{0};  // files that could not be read: left out
    std::chrono::steady_clock::time_point HashingStart{};

    // Estimated seconds left from the bytes hashed so far; -1 while unknown.
    double SecondsLeft() const {
        const std::uint64_t done = BytesHashed, all = BytesToHash;
        if (Step.load() < kComparingEnds || done == 0 || all <= done)
            return Step.load() >= kExtents ? 0 : -1;
        const double spent =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - HashingStart).count();
        return spent * double(all - done) / double(done);
    }
};
