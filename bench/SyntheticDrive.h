#pragma once
// A drive of Folders folders in path order with names of realistic length,
// random sizes and shares: the result lists the store and history benchmarks
// save, load, merge and compare. The same seed gives the same drive.
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <random>
#include <string>
#include <vector>

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
