#pragma once
// How far a walk has come, for progress displays that run on another thread.
// Each listed folder adds itself, its files and their bytes once, with
// relaxed atomics: the walk pays three additions per folder, never one per
// file. Files are the entries that take part (attributes and filter), each
// once whatever the number of filter parts it matches; a file with several
// hard links counts at every sighting here, the totals count it once.
#include <atomic>
#include <cstdint>
#include <functional>

struct TWalkCounters {
    std::atomic<std::uint64_t> Folders{0};
    std::atomic<std::uint64_t> Files{0};
    std::atomic<std::uint64_t> Bytes{0};
    // Called on the walking thread after each folder is counted, with the
    // folders so far (see TAnalizeDisk::OnFolderListed).
    std::function<void(std::uint64_t folders)> Listed;

    void Reset() {
        Folders.store(0, std::memory_order_relaxed);
        Files.store(0, std::memory_order_relaxed);
        Bytes.store(0, std::memory_order_relaxed);
    }
};
