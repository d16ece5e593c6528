#pragma once
// Finds folder paths in a list of stored folders without a linear search per
// path, with the same answer as a search from the first entry: the position
// of the first entry that equals the path. Paths are equal when their bytes
// are equal, except that drive letters (a letter before a ":" at the start)
// compare without case; file names are case-sensitive.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/StringList.h"

class TResultStoreIndex {
  public:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    // Indexes list, which must outlive the index and stay unchanged.
    explicit TResultStoreIndex(const TStringList& list);

    // Position of the first entry equal to path, or npos.
    std::size_t Find(std::string_view path) const;

    // <0, 0 or >0 as a sorts before, equal to or after b under the path
    // equality above (bytes as unsigned values).
    static int ComparePaths(std::string_view a, std::string_view b);

  private:
    const TStringList& list_;
    // Positions of list_, ordered by path and, among equal paths, by position.
    std::vector<std::uint32_t> order_;
};
