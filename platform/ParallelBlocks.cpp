#include "platform/ParallelBlocks.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace {

constexpr std::size_t kBlock = 1024;
constexpr unsigned kMostThreads = 4;

}  // namespace

unsigned BlockWorkers(std::size_t count) {
    const std::size_t blocks = (count + kBlock - 1) / kBlock;
    return static_cast<unsigned>(std::max<std::size_t>(
        1, std::min<std::size_t>(
               {kMostThreads, std::max(1u, std::thread::hardware_concurrency()), blocks})));
}

void ForEachBlock(std::size_t count,
                  const std::function<void(unsigned worker, std::size_t i)>& work) {
    std::atomic<std::size_t> next{0};
    // The first exception of any worker, thrown again on the calling thread
    // once all have ended: on a helper it would end the program. A worker
    // that failed takes no more blocks; the others finish theirs.
    std::mutex failed;
    std::exception_ptr failure;
    auto run = [&](unsigned worker) {
        try {
            for (std::size_t start; (start = next.fetch_add(kBlock)) < count;) {
                const std::size_t end = std::min(count, start + kBlock);
                for (std::size_t i = start; i < end; ++i)
                    work(worker, i);
            }
        } catch (...) {
            const std::lock_guard<std::mutex> hold(failed);
            if (!failure)
                failure = std::current_exception();
        }
    };
    std::vector<std::thread> helpers;
    helpers.reserve(BlockWorkers(count));
    try {
        for (unsigned worker = 1; worker < BlockWorkers(count); ++worker)
            helpers.emplace_back(run, worker);
    } catch (const std::system_error&) {
        // Out of threads: the blocks are shared among those that started.
    }
    run(0);
    for (std::thread& helper : helpers)
        helper.join();
    if (failure)
        std::rethrow_exception(failure);
}
