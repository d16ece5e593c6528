#pragma once
// The checks every reader of the stored Discover text (DiscoverData.h)
// makes on top of its format, so that a file edited by hand or forged with
// its manifest shows nothing the walk could not have found: no line longer
// than a path can be, no negative size, and totals whose sum stays within
// 64 bits, so that every share is a true part of the whole (two types of
// the largest size would each show as the whole drive) and no count column
// wraps round. Each section of the text checks its lines through these.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/FileTypeTable.h"

// Far longer than the line of any file's path the walk can list (names of
// 255 bytes, escaped, a hundred folders deep), and short enough that a
// line of hundreds of megabytes is never taken apart.
inline constexpr std::size_t kLongestDiscoverLine = 64 << 10;
// The most bytes a stored Discover file may have: every line of its
// sections at kLongestDiscoverLine stays below it.
inline constexpr std::uint64_t kMostDiscoverBytes = std::uint64_t{128} << 20;

// The checks of one stored text, made as its lines are read.
class TDiscoverLineCheck {
  public:
    // "line N: longer than ..." for the first line of text (lines end in
    // CR LF) longer than kLongestDiscoverLine; empty when there is none.
    static std::string LongLine(std::string_view text);

    // Adds a total of a type table read from the text to the table's sum.
    // False, leaving the sum as it was, for a total with a negative byte
    // count or one that would take the sum of files, bytes or allocated
    // bytes past the largest signed 64-bit number.
    bool AddTotal(const TTypeTotal& total);

  private:
    std::int64_t files_ = 0, bytes_ = 0, allocated_ = 0;
};
