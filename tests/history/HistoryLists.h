#pragma once
// Random result sets of one drive for the history tests: folder trees with
// names of awkward bytes, kept in the byte order of the result files.
#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "engine/StringList.h"

// Path -> size; a std::map keeps the byte order of the result files.
using TFolderSizes = std::map<std::string, std::int64_t>;

inline std::string RandomName(std::mt19937_64& random) {
    static const std::string bytes = "abcXYZ09 ._-%$\xC3\xA9\xFF\x01";
    std::string name;
    const std::size_t length = 1 + random() % 6;
    for (std::size_t i = 0; i < length; ++i) {
        name += bytes[random() % bytes.size()];
    }
    return name;
}

inline std::int64_t RandomSize(std::mt19937_64& random) {
    switch (random() % 5) {
        case 0:
            return 0;
        case 1:
            return static_cast<std::int64_t>(random() % 100);
        case 2:
            return static_cast<std::int64_t>(random() >> 1);  // up to 2^63 - 1
        case 3:
            return -static_cast<std::int64_t>(random() % 1000);
        default:
            return static_cast<std::int64_t>(random() % 50'000'000'000ULL);
    }
}

// A drive of about count folders below "C:".
inline TFolderSizes RandomDrive(std::mt19937_64& random, std::size_t count) {
    TFolderSizes drive{{"C:", RandomSize(random)}};
    std::vector<std::string> folders = {"C:"};
    while (drive.size() < count) {
        const std::string path = folders[random() % folders.size()] + "\\" + RandomName(random);
        if (drive.emplace(path, RandomSize(random)).second) {
            folders.push_back(path);
        }
    }
    return drive;
}

inline void ToLists(const TFolderSizes& drive, TStringList& dirs, TStringList& sizes) {
    dirs.clear();
    sizes.clear();
    for (const auto& [path, size] : drive) {
        dirs.push_back(path);
        sizes.push_back(std::to_string(size));
    }
}
