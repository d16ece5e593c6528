#include "platform/LargeBlocks.h"

#include <malloc.h>

namespace {

// The highest limit the allocator would raise the mapping one to by itself
// on 64-bit systems.
constexpr int kMostInHeap = 32 * 1024 * 1024;

}  // namespace

void KeepLargeBlocksInHeap() {
    mallopt(M_MMAP_THRESHOLD, kMostInHeap);
}
