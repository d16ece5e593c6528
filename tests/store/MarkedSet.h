#pragma once
// A drive's three lists whose every line carries the set's mark, in a
// length of its own, so that any mix of two sets shows.
#include <cstdio>
#include <string>

#include "engine/StringList.h"

struct TMarkedSet {
    TStringList Dirs, Sizes, Percents;
    bool operator==(const TMarkedSet& o) const {
        return Dirs == o.Dirs && Sizes == o.Sizes && Percents == o.Percents;
    }
    bool operator!=(const TMarkedSet& o) const { return !(*this == o); }
    // In the order of the result files' steps: Percents, Dirs, DirSizes.
    TStringList& List(int i) { return i == 0 ? Percents : (i == 1 ? Dirs : Sizes); }
};

inline TMarkedSet MakeSet(int mark, std::size_t count) {
    TMarkedSet set;
    set.Dirs.push_back("C:");
    set.Sizes.push_back(std::to_string(mark * 1000));
    set.Percents.push_back("0");
    for (std::size_t i = 1; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "C:\\s%04d\\%04zu", mark, i);
        set.Dirs.push_back(name);
        set.Sizes.push_back(std::to_string(mark * 1000 + static_cast<int>(i)));
        set.Percents.push_back(std::to_string(mark % 100) + "." + std::to_string(i));
    }
    return set;
}
