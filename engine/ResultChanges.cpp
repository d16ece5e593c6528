#include "engine/ResultChanges.h"

#include <algorithm>
#include <string_view>

#include "engine/NumberText.h"

namespace {

std::int64_t SaturatedDifference(std::int64_t a, std::int64_t b) {
    std::int64_t difference = 0;
    if (__builtin_sub_overflow(a, b, &difference)) {
        return b < 0 ? std::numeric_limits<std::int64_t>::max()
                     : std::numeric_limits<std::int64_t>::min() + 1;
    }
    return difference;
}

}  // namespace

std::int64_t TResultChanges::Change(std::size_t k) const {
    return SaturatedDifference(Now[k], IsNew(k) ? 0 : Before[k]);
}

std::vector<std::size_t> TResultChanges::GoneInside(const std::string& folder) const {
    std::vector<std::size_t> inside;
    std::string prefix = folder;
    if (prefix.empty() || prefix.back() != '\\') {
        prefix += '\\';
    }
    // Every path that begins with the prefix lies in one run of the sorted list.
    auto it = std::lower_bound(GoneDirs.begin(), GoneDirs.end(), prefix);
    for (; it != GoneDirs.end() && it->compare(0, prefix.size(), prefix) == 0; ++it) {
        if (it->find('\\', prefix.size()) == std::string::npos) {
            inside.push_back(static_cast<std::size_t>(it - GoneDirs.begin()));
        }
    }
    return inside;
}

TResultChanges CompareResults(const TStringList& dirs, const TStringList& sizes,
                              const THistorySnapshot& kept) {
    TResultChanges changes;
    const std::size_t count = dirs.size();
    changes.Now.assign(count, 0);
    changes.Before.assign(count, TResultChanges::kAbsent);
    for (std::size_t k = 0; k < count && k < sizes.size(); ++k) {
        if (!TryTextToInt64(sizes[k], changes.Now[k])) {
            changes.Now[k] = 0;
        }
    }
    const std::size_t keptCount = std::min(kept.Dirs.size(), kept.Sizes.size());
    std::size_t k = 0, j = 0;
    while (j < keptCount) {
        const int order = k < count ? std::string_view(dirs[k]).compare(kept.Dirs[j]) : 1;
        if (order == 0) {
            changes.Before[k++] = kept.Sizes[j++];
        } else if (order < 0) {
            ++k;  // new since: Before stays absent
        } else {
            changes.GoneDirs.push_back(kept.Dirs[j]);
            changes.GoneSizes.push_back(kept.Sizes[j++]);
        }
    }
    return changes;
}
