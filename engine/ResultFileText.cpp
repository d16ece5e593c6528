#include "engine/ResultFileText.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Bit k set where byte k of the n <= 64 bytes at p is c.
std::uint64_t ByteMaskOf(const char* p, std::size_t n, char c) {
    std::uint64_t mask = 0;
    for (std::size_t k = 0; k < n; ++k)
        if (p[k] == c)
            mask |= std::uint64_t{1} << k;
    return mask;
}

// Bit k set where byte k of the 64 at p is c. Sixteen bytes at a time where
// the processor has SSE2 (every x86-64): result lines are short, so finding
// the breaks is most of the work of loading and counting them.
std::uint64_t ByteMask(const char* p, char c) {
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi8(c);
    std::uint64_t mask = 0;
    for (int k = 0; k < 4; ++k) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
        const int hits = _mm_movemask_epi8(_mm_cmpeq_epi8(v, wanted));
        mask |= static_cast<std::uint64_t>(static_cast<unsigned>(hits) & 0xFFFFu) << (16 * k);
    }
    return mask;
#else
    return ByteMaskOf(p, 64, c);
#endif
}

// CRs and LFs, 64 bytes at p or the n <= 64 at the end.
std::uint64_t BreakMask(const char* p) {
    return ByteMask(p, '\r') | ByteMask(p, '\n');
}
std::uint64_t BreakMaskOf(const char* p, std::size_t n) {
    return ByteMaskOf(p, n, '\r') | ByteMaskOf(p, n, '\n');
}

}  // namespace

void TResultLineMarker::Breaks(const char* bytes, std::size_t base, std::uint64_t mask,
                               std::size_t limit) {
    while (mask != 0) {
        const std::size_t at = base + static_cast<std::size_t>(__builtin_ctzll(mask));
        mask &= mask - 1;
        if (at == skip_) {
            start_ = at + 1;
            continue;
        }
        lines_.AddInPlace(start_, at - start_);
        start_ = at + 1;
        if (bytes[at] == '\r' && start_ < limit && bytes[start_] == '\n')
            skip_ = start_;
    }
}

void TResultLineMarker::Feed(std::size_t filled) {
    const char* bytes = lines_.RawBytes().data();
    if (next_ == 0 && filled != 0) {
        // Room for the lines at the density of the first piece, with a margin.
        const std::size_t sample = std::min<std::size_t>(filled, 1 << 16);
        std::size_t breaks = 0;
        for (std::size_t k = 0; k < sample; ++k)
            breaks += bytes[k] == '\n' || bytes[k] == '\r';
        const std::size_t total = lines_.RawBytes().size();
        lines_.reserve(total / sample * breaks * 21 / 20 + breaks + 16);
    }
    // Whole blocks with at least one byte after them: a CR at a block's end
    // looks at the byte after it.
    for (; next_ + 64 < filled; next_ += 64)
        Breaks(bytes, next_, BreakMask(bytes + next_), filled);
}

void TResultLineMarker::Finish() {
    const std::string_view bytes = lines_.RawBytes();
    const std::size_t size = bytes.size();
    for (; next_ + 64 <= size; next_ += 64)
        Breaks(bytes.data(), next_, BreakMask(bytes.data() + next_), size);
    Breaks(bytes.data(), next_, BreakMaskOf(bytes.data() + next_, size - next_), size);
    next_ = size;
    if (start_ < size)
        lines_.AddInPlace(start_, size - start_);
    start_ = size;
}

void TResultLineCount::Feed(std::string_view bytes) {
    const char* p = bytes.data();
    const std::size_t n = bytes.size();
    std::size_t at = 0;
    auto count = [this](std::uint64_t cr, std::uint64_t lf, std::size_t width) {
        // Every CR ends a line, and every LF that does not follow a CR.
        const std::uint64_t afterCr = (cr << 1) | (afterCr_ ? 1u : 0u);
        lines_ += static_cast<std::size_t>(__builtin_popcountll(cr) +
                                           __builtin_popcountll(lf & ~afterCr));
        const std::uint64_t last = std::uint64_t{1} << (width - 1);
        afterCr_ = (cr & last) != 0;
        open_ = ((cr | lf) & last) == 0;
    };
    for (; at + 64 <= n; at += 64)
        count(ByteMask(p + at, '\r'), ByteMask(p + at, '\n'), 64);
    if (at < n)
        count(ByteMaskOf(p + at, n - at, '\r'), ByteMaskOf(p + at, n - at, '\n'), n - at);
}

void SplitResultLines(std::string_view bytes, TStringList& lines) {
    char* buffer = lines.RawBuffer(bytes.size());
    if (!bytes.empty())
        std::memcpy(buffer, bytes.data(), bytes.size());
    TResultLineMarker marker(lines);
    marker.Feed(bytes.size());
    marker.Finish();
}

std::string JoinResultLines(const TStringList& lines) {
    std::size_t size = 0;
    for (const auto& line : lines) {
        size += line.size() + 2;
    }
    std::string bytes;
    bytes.reserve(size);
    for (const auto& line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    return bytes;
}
