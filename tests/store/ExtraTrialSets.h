#pragma once
// Sets of drive C: with both extra files (allocated bytes and Discover
// data), and the folder rescans a kill trial stores over them: every number
// carries a mark, so that a file of one save loaded with another's shows.
#include <string>

#include "engine/DiscoverData.h"
#include "engine/DiscoverRole.h"
#include "engine/DiskSizeList.h"
#include "engine/ExtraRescan.h"
#include "engine/NumberText.h"
#include "engine/StoredSet.h"

namespace trial {

inline std::string Share(std::int64_t child, std::int64_t parent) {
    return PercentText(SharePercent(child, parent));
}

// Discover data of the given files (largest first), marked in their times
// and in the file types' counts.
inline TStringList DiscoverOf(std::vector<TLargeFile> files, int mark) {
    TDiscoverData data;
    for (TLargeFile& f : files) {
        f.MTime = 1700000000 + mark;
        data.Largest.push_back(std::move(f));
    }
    data.Types.Kept = {{"iso", 2, 9000 + mark, 9000 + mark}, {"txt", 1, 10, 4096}};
    data.Types.NoExtension = {"", 1 + static_cast<std::uint64_t>(mark), 5, 4096};
    return data.Lines();
}

// A set of four folders, C:\a\b inside C:\a, its sizes made from mark.
inline TStoredSet DriveSet(int mark) {
    const std::int64_t b = 10 + mark, a = 100 + b, c = 50 + 2 * mark, root = a + c;
    TStoredSet set;
    set.Dirs = {"C:", "C:\\a", "C:\\a\\b", "C:\\c"};
    set.Sizes = {std::to_string(root), std::to_string(a), std::to_string(b), std::to_string(c)};
    set.Percents = {"0", Share(a, root), Share(b, a), Share(c, root)};
    set.Extras[std::string(kDiskSizesRole)] = {std::to_string(root * 8), std::to_string(a * 8),
                                               std::to_string(b * 8), std::to_string(c * 8)};
    set.Extras[std::string(kDiscoverRole)] =
        DiscoverOf({{"C:\\c\\big", 40 + mark, 4096, 0}, {"C:\\a\\b\\f", 9, 4096, 0}}, mark);
    return set;
}

// What a rescan of C:\a finds, with the numbers stored for it in set:
// the same sizes and allocated bytes (only the files' times are new, so
// that only the Discover data changes), or with grow bytes more in C:\a\b.
inline TStoredSet RescanOf(const TStoredSet& set, int mark, std::int64_t grow) {
    std::int64_t a = 0, b = 0, diskA = 0, diskB = 0;
    const TStringList& disk = set.Extras.at(std::string(kDiskSizesRole));
    TryTextToInt64(set.Sizes[1], a);
    TryTextToInt64(set.Sizes[2], b);
    TryTextToInt64(disk[1], diskA);
    TryTextToInt64(disk[2], diskB);
    TStoredSet rescan;
    rescan.Dirs = {"C:\\a", "C:\\a\\b"};
    rescan.Sizes = {std::to_string(a + grow), std::to_string(b + grow)};
    rescan.Percents = {"0", Share(b + grow, a + grow)};
    rescan.Extras[std::string(kDiskSizesRole)] = {std::to_string(diskA + 8 * grow),
                                                  std::to_string(diskB + 8 * grow)};
    rescan.Extras[std::string(kDiscoverRole)] =
        DiscoverOf({{"C:\\a\\b\\f", 9 + grow, 4096, 0}}, mark);
    return rescan;
}

// The change a folder rescan makes of the stored set.
inline void Rescan(TStoredSet& set, int mark, std::int64_t grow) {
    AppendRescanWithExtras(set, RescanOf(set, mark, grow));
}

}  // namespace trial
