#include "engine/ResultStoreIndex.h"

#include <algorithm>
#include <numeric>

#include "platform/DriveLetter.h"

namespace {

// The first byte with a drive letter folded to upper case.
unsigned char LeadKey(std::string_view path) {
    const bool drive = path.size() >= 2 && path[1] == ':';
    return static_cast<unsigned char>(drive ? UpperDriveLetter(path[0]) : path[0]);
}

}  // namespace

int TResultStoreIndex::ComparePaths(std::string_view a, std::string_view b) {
    if (a.empty() || b.empty()) {
        return a.empty() ? (b.empty() ? 0 : -1) : 1;
    }
    unsigned char leadA = LeadKey(a);
    unsigned char leadB = LeadKey(b);
    if (leadA != leadB) {
        return leadA < leadB ? -1 : 1;
    }
    return a.substr(1).compare(b.substr(1));
}

TResultStoreIndex::TResultStoreIndex(const TStringList& list) : list_(list), order_(list.size()) {
    std::iota(order_.begin(), order_.end(), 0u);
    // Stored lists are normally in path order already; then the positions
    // themselves are the index and no sort is needed.
    bool sorted = true;
    for (std::size_t i = 1; i < list_.size() && sorted; ++i) {
        sorted = ComparePaths(list_[i - 1], list_[i]) <= 0;
    }
    if (!sorted) {
        // Stable, so that among equal paths the earliest position comes first.
        std::stable_sort(order_.begin(), order_.end(), [this](std::uint32_t a, std::uint32_t b) {
            return ComparePaths(list_[a], list_[b]) < 0;
        });
    }
}

std::size_t TResultStoreIndex::Find(std::string_view path) const {
    auto first = std::lower_bound(order_.begin(), order_.end(), path,
                                  [this](std::uint32_t position, std::string_view wanted) {
                                      return ComparePaths(list_[position], wanted) < 0;
                                  });
    if (first != order_.end() && ComparePaths(list_[*first], path) == 0) {
        return *first;
    }
    return npos;
}
