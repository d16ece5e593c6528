#pragma once
// ASCII letters in lower case, eight bytes at a time: the walk looks at the
// ending of every name it lists (temporary endings, file types), so the
// bytes are folded as one word instead of one by one. Bytes that are not
// ASCII capitals (other letters, UTF-8 sequences, zero padding) stay as
// they are.
#include <cstdint>
#include <cstring>
#include <string_view>

inline std::uint64_t AsciiLower8(std::uint64_t x) {
    constexpr std::uint64_t kHigh = 0x8080808080808080ull;
    const std::uint64_t low7 = x & ~kHigh;
    // Per byte, the high bit tells low7 >= 'A' and low7 > 'Z'; no byte
    // carries into the next (0x7F + 0x3F < 0x100).
    const std::uint64_t atLeastA = low7 + 0x3F3F3F3F3F3F3F3Full;
    const std::uint64_t pastZ = low7 + 0x2525252525252525ull;
    const std::uint64_t capital = atLeastA & ~pastZ & ~x & kHigh;
    return x | (capital >> 2);  // 0x80 >> 2 is the case bit 0x20
}

// The last min(8, size) bytes of Text in lower case, right-aligned in a
// little-endian word (the last byte is the most significant; missing
// bytes are zero).
inline std::uint64_t LowerTail8(std::string_view text) {
    std::uint64_t word = 0;
    if (text.size() >= 8) {
        std::memcpy(&word, text.data() + text.size() - 8, 8);
    } else {
        unsigned char bytes[8] = {};
        std::memcpy(bytes + 8 - text.size(), text.data(), text.size());
        std::memcpy(&word, bytes, 8);
    }
    return AsciiLower8(word);
}
