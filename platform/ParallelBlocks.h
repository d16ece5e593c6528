#pragma once
// Work on the items of a large list shared out among a few threads: the
// items go in blocks, and each thread takes the next block when it has
// finished one, so a thread slowed by a busy machine holds up no other. A
// list of one block is worked on by the calling thread alone.
#include <algorithm>
#include <cstddef>
#include <exception>
#include <functional>
#include <system_error>
#include <thread>
#include <vector>

// How many threads ForEachBlock uses for count items (1 or more); the
// worker numbers it hands out are below this.
unsigned BlockWorkers(std::size_t count);

// Calls work(worker, i) once for every i below count and returns when all
// are done. Calls with the same worker number never overlap, so a worker
// may use state of its own (kept by that number) without locks. The first
// exception work throws is thrown again from here once every worker has
// ended.
void ForEachBlock(std::size_t count,
                  const std::function<void(unsigned worker, std::size_t i)>& work);

// std::sort of items by less, the parts of a large list sorted on a few
// threads and then merged. For an order that never finds two items equal
// the result is exactly std::sort's. An exception of less is thrown from
// here once every part has ended.
template <class T, class Less>
void ParallelSort(std::vector<T>& items, Less less) {
    const std::size_t parts = BlockWorkers(items.size());
    std::vector<typename std::vector<T>::iterator> bounds;
    for (std::size_t p = 0; p <= parts; ++p) {
        bounds.push_back(items.begin() + static_cast<std::ptrdiff_t>(items.size() * p / parts));
    }
    // What ends a part's sort is thrown again here once every part has
    // ended: on a helper it would end the program.
    std::vector<std::exception_ptr> failures(parts);
    auto sortPart = [&](std::size_t p) {
        try {
            std::sort(bounds[p], bounds[p + 1], less);
        } catch (...) {
            failures[p] = std::current_exception();
        }
    };
    std::vector<std::thread> helpers;
    helpers.reserve(parts);
    std::size_t started = 1;
    try {
        for (; started < parts; ++started) {
            helpers.emplace_back(sortPart, started);
        }
    } catch (const std::system_error&) {
        // Out of threads: the parts no helper took are sorted here.
    }
    for (std::size_t p = started; p < parts; ++p) {
        sortPart(p);
    }
    sortPart(0);
    for (std::thread& helper : helpers) {
        helper.join();
    }
    for (const std::exception_ptr& failure : failures) {
        if (failure) {
            std::rethrow_exception(failure);
        }
    }
    for (std::size_t p = 1; p < parts; ++p) {
        std::inplace_merge(bounds[0], bounds[p], bounds[p + 1], less);
    }
}
