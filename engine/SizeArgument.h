#pragma once
// A size the user types (a minimum size on the command line or in a
// dialog): whole bytes, or a whole number with a K, M or G suffix of 1 024,
// 1 024² or 1 024³ bytes ("512", "64K", "10M", "2G"; the suffix in either
// case, nothing else around it).
#include <cstdint>
#include <string>
#include <string_view>

// False, with a message naming the text in problem, for an empty text, a
// sign, a fraction, any other suffix or a size beyond 2^63 - 1 bytes.
bool ParseSizeArgument(std::string_view text, std::int64_t& bytes, std::string& problem);
