#include "engine/WalkHelpers.h"

#include <algorithm>
#include <system_error>

namespace {

constexpr std::chrono::milliseconds kLookEvery{2};

std::int64_t NowTicks() {
    return std::chrono::steady_clock::now().time_since_epoch().count();
}

}  // namespace

TWalkHelpers::TWalkHelpers(int warm, int all, std::function<void(int)> body, TDiskReads diskReads)
    : warm_(std::clamp(warm, 1, std::max(all, 1))),
      all_(std::max(all, 1)),
      body_(std::move(body)),
      diskReads_(std::move(diskReads)) {}

TWalkHelpers::~TWalkHelpers() {
    Join();
}

void TWalkHelpers::Start() {
    const std::optional<std::uint64_t> reads =
        warm_ < all_ && diskReads_ ? diskReads_() : std::nullopt;
    if (!reads) {
        StartUpTo(all_);
        return;
    }
    startReads_ = *reads;
    nextLook_.store(NowTicks(), std::memory_order_relaxed);
    growing_.store(true, std::memory_order_release);
    StartUpTo(warm_);
}

void TWalkHelpers::Look() {
    if (!growing_.load(std::memory_order_acquire))
        return;
    const std::int64_t now = NowTicks();
    std::int64_t due = nextLook_.load(std::memory_order_relaxed);
    // One thread looks; the others go on walking.
    if (now < due || !nextLook_.compare_exchange_strong(
                         due, now + std::chrono::steady_clock::duration(kLookEvery).count(),
                         std::memory_order_relaxed))
        return;
    const std::optional<std::uint64_t> reads = diskReads_();
    if (reads && *reads == startReads_)
        return;
    growing_.store(false, std::memory_order_relaxed);
    StartUpTo(all_);
}

void TWalkHelpers::StartUpTo(int count) {
    std::lock_guard<std::mutex> guard(mutex_);
    if (closed_)
        return;
    try {
        for (int t = static_cast<int>(threads_.size()) + 1; t < count; ++t) {
            threads_.emplace_back(body_, t);
            walking_.fetch_add(1, std::memory_order_relaxed);
        }
    } catch (const std::system_error&) {
        // A machine out of threads: the walk goes on with those it gave.
    }
}

void TWalkHelpers::Join() {
    std::vector<std::thread> threads;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        closed_ = true;
        growing_.store(false, std::memory_order_relaxed);
        threads.swap(threads_);
    }
    for (std::thread& t : threads)
        t.join();
}
