#pragma once
// A drive of Folders folders in path order with names of realistic length,
// random sizes and shares: the result lists the store and history benchmarks
// save, load, merge and compare. The same seed gives the same drive.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "engine/DiscoverData.h"
#include "engine/DiscoverKind.h"
#include "engine/DiskSizeList.h"
#include "engine/ExtraLists.h"
#include "engine/NumberText.h"
#include "engine/StringList.h"

struct TSyntheticDrive {
    TStringList Dirs, Sizes, Percents;
};

inline TSyntheticDrive MakeSyntheticDrive(std::size_t folders, std::uint64_t seed = 3) {
    std::mt19937_64 random(seed);
    const char* words[] = {"data", "Report",      "img",   "photo", "backup",  "src",
                           "lib",  "final draft", "Music", "video", "Invoice", "archive 2019"};
    TSyntheticDrive d;
    std::vector<std::string> dirs = {"C:"};
    std::vector<std::string> stack = {"C:"};
    while (dirs.size() < folders) {
        const std::size_t depth = 1 + random() % 8;
        if (stack.size() > depth)
            stack.resize(depth);
        const std::string name =
            std::string(words[random() % std::size(words)]) + " " + std::to_string(dirs.size());
        stack.push_back(stack.back() + "\\" + name);
        dirs.push_back(stack.back());
    }
    std::sort(dirs.begin(), dirs.end());
    d.Dirs.assign(dirs.begin(), dirs.end());
    for (std::size_t i = 0; i < d.Dirs.size(); ++i) {
        d.Sizes.push_back(std::to_string(random() % 50'000'000'000ULL));
        d.Percents.push_back(i == 0 ? "0"
                                    : std::to_string((random() % 10000) / 97.0).substr(0, 15));
    }
    return d;
}

// The same folders holding files of realistic sizes (log-normal, median
// 4 KiB, 2% empty), spread evenly: each folder's size is its total with
// everything below it and its percent its share of its parent, as a scan
// stores them. Its lists' texts are shorter than MakeSyntheticDrive's random
// ones (small totals, the same per-entry overhead): the harder case for the
// memory a window needs per byte of result files.
inline TSyntheticDrive MakeSyntheticFileDrive(std::size_t folders, std::uint64_t files,
                                              std::uint64_t seed = 3) {
    TSyntheticDrive d = MakeSyntheticDrive(folders, seed);
    std::mt19937_64 random(seed + 1);
    std::lognormal_distribution<double> fileSize(std::log(4096.0), 2.2);
    const std::size_t n = d.Dirs.size();
    std::vector<std::int64_t> total(n, 0);
    for (std::uint64_t f = 0; f < files; ++f) {
        const std::size_t at = static_cast<std::size_t>(random() % n);
        if (random() % 50 != 0)
            total[at] += static_cast<std::int64_t>(std::min(fileSize(random), 1e12));
    }
    // Paths are sorted, so a parent comes before its children: the stack of
    // open folders gives each folder's parent; totals add up from the end.
    std::vector<std::size_t> parent(n, 0), open;
    for (std::size_t i = 0; i < n; ++i) {
        const std::string_view path = d.Dirs[i];
        while (!open.empty()) {
            const std::string_view above = d.Dirs[open.back()];
            if (path.size() > above.size() && path.compare(0, above.size(), above) == 0 &&
                path[above.size()] == '\\')
                break;
            open.pop_back();
        }
        parent[i] = open.empty() ? i : open.back();
        open.push_back(i);
    }
    for (std::size_t i = n; i-- > 1;)
        total[parent[i]] += total[i];
    TStringList sizes, percents;
    for (std::size_t i = 0; i < n; ++i) {
        sizes.push_back(std::to_string(total[i]));
        const std::int64_t whole = total[parent[i]];
        percents.push_back(i == 0 || whole == 0 ? std::string("0")
                                                : PercentText(SharePercent(total[i], whole)));
    }
    d.Sizes = std::move(sizes);
    d.Percents = std::move(percents);
    return d;
}

// The extra lists a scan of drive d stores beside its lists: each folder's
// allocated bytes (its size in whole blocks of 4 KiB) and the Discover data
// (the drive's largest files, in folders of the drive, and a table of file
// types), as large as a walk makes them.
inline TExtraLists MakeSyntheticExtras(const TSyntheticDrive& d, std::uint64_t seed = 3) {
    std::mt19937_64 random(seed + 2);
    TExtraLists extras;
    TStringList& disk = extras[std::string(kDiskSizesRole)];
    for (std::string_view size : d.Sizes)
        disk.push_back(std::to_string((std::stoll(std::string(size)) + 4095) / 4096 * 4096));
    TDiscoverData discover;
    std::int64_t bytes = 40'000'000'000;
    for (std::size_t i = 0; i < kLargestFiles; ++i) {
        bytes -= static_cast<std::int64_t>(1 + random() % 20'000'000);
        const std::string folder(d.Dirs[random() % d.Dirs.size()]);
        discover.Largest.push_back({folder + "\\file " + std::to_string(i) + ".iso", bytes, bytes,
                                    1'700'000'000 + static_cast<std::int64_t>(i)});
    }
    for (int t = 0; t < 200; ++t) {
        bytes = 1 + static_cast<std::int64_t>(random() % 1'000'000'000);
        discover.Types.Kept.push_back(
            {"x" + std::to_string(t), 1 + random() % 10000, bytes, bytes});
    }
    std::sort(discover.Types.Kept.begin(), discover.Types.Kept.end(),
              [](const TTypeTotal& a, const TTypeTotal& b) { return a.Bytes > b.Bytes; });
    discover.TypesAsOfDriveScan = true;
    extras[std::string(kDiscoverRole)] = discover.Lines();
    return extras;
}
