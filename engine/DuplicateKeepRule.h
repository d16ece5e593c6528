#pragma once
// Which copy of a duplicate group stays when the others are reclaimed.
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "engine/DuplicateGroup.h"

struct TKeepRule {
    enum Kind { kOldest, kNewest, kShortestPath, kInsideFolder };
    TKeepRule(Kind rule = kOldest, std::string folder = {})
        : Rule(rule), Folder(std::move(folder)) {}
    Kind Rule;
    // For kInsideFolder: a copy with a name below this native folder is kept
    // (the oldest of them); without one, the group's oldest copy.
    std::string Folder;
};

// The index of the copy to keep among the allowed ones (all when allowed is
// empty). Ties go to the copy listed first, so a choice is repeatable.
std::size_t ChooseKeptCopy(const TDuplicateGroup& group, const TKeepRule& rule,
                           const std::vector<std::size_t>& allowed = {});

// What reclaiming one copy means: the copy and the one whose bytes stay.
struct TReclaimStep {
    std::int64_t Size = 0;
    TDuplicateCopy Kept;
    TDuplicateCopy Target;
    bool SharesWithKept = false;  // already in the kept copy's extents
};

// Every copy but the kept one of every group.
std::vector<TReclaimStep> AllButKept(const TDuplicateResult& result, const TKeepRule& rule);
// The chosen copies of one group; the kept copy is chosen by the rule among
// the others (or among all when every copy was chosen, and then left out).
std::vector<TReclaimStep> ChosenCopies(const TDuplicateGroup& group,
                                       const std::vector<std::size_t>& chosen,
                                       const TKeepRule& rule);
