#pragma once
// Work on the items of a large list shared out among a few threads: the
// items go in blocks, and each thread takes the next block when it has
// finished one, so a thread slowed by a busy machine holds up no other. A
// list of one block is worked on by the calling thread alone.
#include <cstddef>
#include <functional>

// How many threads ForEachBlock uses for count items (1 or more); the
// worker numbers it hands out are below this.
unsigned BlockWorkers(std::size_t count);

// Calls work(worker, i) once for every i below count and returns when all
// are done. Calls with the same worker number never overlap, so a worker
// may use state of its own (kept by that number) without locks.
void ForEachBlock(std::size_t count,
                  const std::function<void(unsigned worker, std::size_t i)>& work);
