#include "engine/ResultFileText.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Bit k set where byte k of the n <= 64 bytes at p is a CR or an LF.
std::uint64_t BreakMaskOf(const char* p, std::size_t n) {
    std::uint64_t mask = 0;
    for (std::size_t k = 0; k < n; ++k)
        if (p[k] == '\r' || p[k] == '\n')
            mask |= std::uint64_t{1} << k;
    return mask;
}

// Bit k set where byte k of the 64 at p is a CR or an LF. Sixteen bytes at a
// time where the processor has SSE2 (every x86-64): result lines are short,
// so finding the breaks is most of the work of loading them.
std::uint64_t BreakMask(const char* p) {
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    std::uint64_t mask = 0;
    for (int k = 0; k < 4; ++k) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
        const int hits =
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)));
        mask |= static_cast<std::uint64_t>(static_cast<unsigned>(hits) & 0xFFFFu) << (16 * k);
    }
    return mask;
#else
    return BreakMaskOf(p, 64);
#endif
}

// Visits the breaks in order and marks the lines between them.
class TLineMarker {
  public:
    TLineMarker(TStringList& lines, const char* bytes, std::size_t size)
        : lines_(lines), bytes_(bytes), size_(size) {}

    void Breaks(std::size_t base, std::uint64_t mask) {
        while (mask != 0) {
            const std::size_t at = base + static_cast<std::size_t>(__builtin_ctzll(mask));
            mask &= mask - 1;
            if (at == skip_) {
                start_ = at + 1;  // the LF of a CR LF
                continue;
            }
            lines_.AddInPlace(start_, at - start_);
            start_ = at + 1;
            if (bytes_[at] == '\r' && start_ < size_ && bytes_[start_] == '\n')
                skip_ = start_;
        }
    }
    void Finish() {
        if (start_ < size_)
            lines_.AddInPlace(start_, size_ - start_);
    }

  private:
    TStringList& lines_;
    const char* bytes_;
    std::size_t size_;
    std::size_t start_ = 0;
    std::size_t skip_ = static_cast<std::size_t>(-1);
};

}  // namespace

void MarkResultLines(TStringList& lines) {
    const std::string_view bytes = lines.RawBytes();
    const std::size_t size = bytes.size();
    lines.RawBuffer(size);  // no texts, same bytes
    // Room for the lines at the density of the first 64 KiB, with a margin.
    const std::size_t sample = std::min<std::size_t>(size, 1 << 16);
    std::size_t sampled = 0;
    for (std::size_t k = 0; k < sample; ++k)
        sampled += bytes[k] == '\n' || bytes[k] == '\r';
    if (sample != 0)
        lines.reserve(size / sample * sampled * 21 / 20 + sampled + 16);
    TLineMarker marker(lines, bytes.data(), size);
    std::size_t base = 0;
    for (; size - base >= 64; base += 64)
        marker.Breaks(base, BreakMask(bytes.data() + base));
    marker.Breaks(base, BreakMaskOf(bytes.data() + base, size - base));
    marker.Finish();
}

void TResultLineCount::Feed(std::string_view bytes) {
    for (const char c : bytes) {
        if (c == '\n') {
            lines_ += afterCr_ ? 0 : 1;
            afterCr_ = false;
            open_ = false;
        } else if (c == '\r') {
            ++lines_;
            afterCr_ = true;
            open_ = false;
        } else {
            afterCr_ = false;
            open_ = true;
        }
    }
}

void SplitResultLines(std::string_view bytes, TStringList& lines) {
    if (!bytes.empty())
        std::memcpy(lines.RawBuffer(bytes.size()), bytes.data(), bytes.size());
    else
        lines.RawBuffer(0);
    MarkResultLines(lines);
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
