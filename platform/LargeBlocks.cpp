#include "platform/LargeBlocks.h"

#include <malloc.h>

namespace {

// The highest limit the allocator would raise the mapping one to by itself
// on 64-bit systems.
constexpr int kMostInHeap = 32 * 1024 * 1024;
// What it would then keep free at the top of the heap before giving pages
// back: twice that. Left at its first 128 KiB, every large picture or list
// freed at the top would go back and be faulted in anew when made again.
constexpr int kKeptOnTop = 2 * kMostInHeap;

}  // namespace

void KeepLargeBlocksInHeap() {
    mallopt(M_MMAP_THRESHOLD, kMostInHeap);
    mallopt(M_TRIM_THRESHOLD, kKeptOnTop);
}
