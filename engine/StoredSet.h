#pragma once
// A stored set as one value: the three result lists of a drive's analysis
// (parallel by entry: folder paths in byte order, total sizes, percents of
// the parent) with the extra lists of the same set by role (ExtraLists.h).
// Whatever carries a set carries every list of it, the extra kinds that
// come later included; a kind is only ever left behind by saying so
// (DropExtra, DropExtras), where a change cannot keep it true.
#include <string_view>
#include <utility>

#include "engine/ExtraLists.h"
#include "engine/StringList.h"

struct TStoredSet {
    TStoredSet() = default;
    // {dirs, sizes, percents} is a set without extra lists.
    TStoredSet(TStringList dirs, TStringList sizes, TStringList percents, TExtraLists extras = {})
        : Dirs(std::move(dirs)),
          Sizes(std::move(sizes)),
          Percents(std::move(percents)),
          Extras(std::move(extras)) {}

    TStringList Dirs;
    TStringList Sizes;
    TStringList Percents;
    TExtraLists Extras;

    // What a store holds before any drive is loaded: one entry in each
    // result list, no extra list.
    static TStoredSet Initial();
    // All three result lists are empty.
    bool Empty() const;
    // The extra list of role is no longer known for the set (a change that
    // cannot carry it made it untrue); the others stay.
    void DropExtra(std::string_view role);
    // Every extra list is dropped: a change that knows nothing of them.
    void DropExtras();
};
