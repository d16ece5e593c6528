#pragma once
// A drive as a map of folders to the bytes of their own files, and the
// stored lists the scan's own aggregation makes of it: what edits of the
// stored lists are compared with.
#include <atomic>
#include <cstdint>
#include <map>
#include <string>

#include "engine/DirAggregate.h"
#include "engine/DirOrder.h"
#include "engine/NumberText.h"
#include "engine/StringList.h"

// Drive-form folder -> bytes of its own files.
using TTree = std::map<std::string, std::int64_t>;

struct TLists {
    TStringList Dirs, Sizes, Percents;
};

inline TLists Aggregate(const TTree& tree) {
    TLists l;
    for (const auto& [path, own] : tree) {
        l.Dirs.push_back(path);
        l.Sizes.push_back(Int64ToText(own));
        l.Percents.push_back("0");
    }
    std::atomic<bool> cancel{false};
    SortDirLists(l.Dirs, l.Sizes, l.Percents, cancel);
    TDirIndex index;
    BuildDirIndex(l.Dirs, index);
    AggregateSizesAndPercents(l.Dirs, l.Sizes, l.Percents, index, cancel);
    return l;
}

inline bool Below(const std::string& path, const std::string& folder) {
    return path.size() > folder.size() && path.compare(0, folder.size() + 1, folder + "\\") == 0;
}

// The total of a folder: its own bytes and those of every folder below it.
inline std::int64_t TotalOf(const TTree& tree, const std::string& folder) {
    std::int64_t total = 0;
    for (const auto& [path, own] : tree)
        if (path == folder || Below(path, folder))
            total += own;
    return total;
}

// Folders made above a new one hold nothing of their own.
inline void AddAncestors(TTree& tree) {
    for (auto it = tree.rbegin(); it != tree.rend(); ++it)
        for (std::string up = it->first; up.find('\\') != std::string::npos;
             up = up.substr(0, up.rfind('\\')))
            tree.emplace(up.substr(0, up.rfind('\\')), 0);
}
