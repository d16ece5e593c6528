#pragma once
// The helper threads of a parallel walk, started as the walk shows it needs
// them. On a warm cache a walk computes more than it waits: threads beyond
// a few per core only take turns on the cores and wake each other for work,
// which made a warm walk with 16 threads on two cores about 8 % slower than
// with 4. On a cold cache it waits on the disk, and many requests in flight
// are what make it fast. So the walk starts with the warm count and starts
// the rest once the process has read from a disk (or at once, where that
// cannot be known).
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

class TWalkHelpers {
  public:
    // The bytes the process has read from its disks so far; none when not
    // known.
    using TDiskReads = std::function<std::optional<std::uint64_t>()>;

    // Helper t (1 to all - 1) runs Body(t); the calling thread is number 0.
    // Warm (1 to all) threads walk while nothing is read from a disk.
    TWalkHelpers(int warm, int all, std::function<void(int)> body, TDiskReads diskReads);
    ~TWalkHelpers();
    TWalkHelpers(const TWalkHelpers&) = delete;
    TWalkHelpers& operator=(const TWalkHelpers&) = delete;

    // Starts the warm count's helpers, or all of them when disk reads are
    // not known.
    void Start();
    // Called by a walking thread between folders, while it still has work
    // (so that the walk cannot end meanwhile): starts the rest once the
    // disk has been read from since Start. Looks at most every 2 ms.
    void Look();
    // Waits for every helper started; none starts after it.
    void Join();
    // The threads walking, the calling one included.
    int Walking() const { return walking_.load(std::memory_order_relaxed); }

  private:
    void StartUpTo(int count);

    const int warm_;
    const int all_;
    std::function<void(int)> body_;
    TDiskReads diskReads_;
    std::uint64_t startReads_ = 0;
    std::atomic<bool> growing_{false};  // the rest may still start
    std::atomic<std::int64_t> nextLook_{0};
    std::mutex mutex_;  // guards threads_ and closed_
    std::vector<std::thread> threads_;
    bool closed_ = false;
    std::atomic<int> walking_{1};
};
