#pragma once
// How far a reclaim of duplicate copies is, read from any thread while it
// runs: the copies dealt with (replaced, trashed or left alone) and the
// bytes of them compared with their kept copies, each against all.
#include <atomic>
#include <cstdint>

struct TDuplicateReclaimProgress {
    std::atomic<std::uint64_t> CopiesDone{0};
    std::atomic<std::uint64_t> CopiesAll{0};
    // A copy's bytes count as it is read beside the kept one; a copy left
    // alone before its reading counts whole.
    std::atomic<std::uint64_t> BytesDone{0};
    std::atomic<std::uint64_t> BytesAll{0};
};
