#include "engine/DuplicateHasher.h"

#include <xxhash.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/FileContent.h"

namespace {

constexpr std::size_t kHashBuffer = 1 << 20;

TContentHash Digest(XXH128_hash_t h) {
    return {h.low64, h.high64};
}

}  // namespace

struct TDuplicateHasher::TState {
    std::vector<char> Buffer = std::vector<char>(kHashBuffer);
    XXH3_state_t* Xxh = XXH3_createState();
    ~TState() { XXH3_freeState(Xxh); }
};

TDuplicateHasher::TDuplicateHasher() : state_(std::make_unique<TState>()) {}
TDuplicateHasher::~TDuplicateHasher() = default;

bool TDuplicateHasher::HashEnds(TFileContent& file, std::int64_t size, TContentHash& hash) {
    char* buffer = state_->Buffer.data();
    if (file.ReadAt(0, buffer, kEndBlock) != kEndBlock ||
        file.ReadAt(size - kEndBlock, buffer + kEndBlock, kEndBlock) != kEndBlock)
        return false;
    hash = Digest(XXH3_128bits(buffer, 2 * kEndBlock));
    return true;
}

bool TDuplicateHasher::HashWhole(TFileContent& file, std::int64_t size, TContentHash& hash,
                                 std::atomic<std::uint64_t>* counted,
                                 const std::atomic<bool>* cancel) {
    XXH3_128bits_reset(state_->Xxh);
    char* buffer = state_->Buffer.data();
    std::int64_t offset = 0;
    while (offset < size) {
        if (cancel && cancel->load(std::memory_order_relaxed))
            return false;
        const std::size_t want = std::size_t(std::min<std::int64_t>(size - offset, kHashBuffer));
        const std::int64_t got = file.ReadAt(offset, buffer, want);
        if (got != std::int64_t(want))
            return false;
        XXH3_128bits_update(state_->Xxh, buffer, want);
        offset += got;
        if (counted)
            *counted += std::uint64_t(got);
    }
    hash = Digest(XXH3_128bits_digest(state_->Xxh));
    return true;
}

bool SameBytes(TFileContent& a, TFileContent& b, const std::atomic<bool>* cancel,
               std::atomic<std::uint64_t>* counted) {
    constexpr std::size_t kChunk = 256 * 1024;
    std::vector<char> left(kChunk), right(kChunk);
    for (std::int64_t offset = 0;; offset += std::int64_t(kChunk)) {
        if (cancel && cancel->load())
            return false;
        const std::int64_t n = a.ReadAt(offset, left.data(), kChunk);
        const std::int64_t m = b.ReadAt(offset, right.data(), kChunk);
        if (n < 0 || n != m || std::memcmp(left.data(), right.data(), std::size_t(n)) != 0)
            return false;
        if (counted)
            *counted += std::uint64_t(n);
        if (n < std::int64_t(kChunk))
            return true;
    }
}
