#pragma once
// Runs Step(i) for every i below Count, each on a thread of its own where
// one can be had (the calling thread takes i = 0), and waits for them all.
// Meant for a few steps that each wait for the disk (writing and flushing
// files): one at a time, their waits add up; at once, the disk serves them
// together. True when every step returned true. A step on a helper thread
// must not throw (it would end the program); the calling thread's may.
#include <algorithm>
#include <cstddef>
#include <exception>
#include <system_error>
#include <thread>
#include <vector>

template <class Step>
bool EachAtOnce(std::size_t count, const Step& step) {
    std::vector<char> ok(count, 0);
    std::vector<std::thread> helpers;
    helpers.reserve(count);
    for (std::size_t i = 1; i < count; ++i) {
        try {
            helpers.emplace_back([&ok, &step, i] { ok[i] = step(i); });
        } catch (const std::system_error&) {
            ok[i] = step(i);  // out of threads: in turn
        }
    }
    // The helpers are joined even when the calling thread's own step
    // throws (memory running out): a thread left unjoined ends the program.
    std::exception_ptr failure;
    try {
        if (count > 0)
            ok[0] = step(0);
    } catch (...) {
        failure = std::current_exception();
    }
    for (std::thread& t : helpers)
        t.join();
    if (failure)
        std::rethrow_exception(failure);
    return std::all_of(ok.begin(), ok.end(), [](char b) { return b != 0; });
}
