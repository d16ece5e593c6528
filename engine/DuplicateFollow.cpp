#include "engine/DuplicateFollow.h"

#include <algorithm>
#include <set>

namespace {

bool SameCopy(const TDuplicateCopy& a, const TDuplicateCopy& b) {
    return a.Device == b.Device && a.Inode == b.Inode;
}

TDuplicateCopy* Find(TDuplicateGroup& g, const TDuplicateCopy& c) {
    for (TDuplicateCopy& copy : g.Copies)
        if (SameCopy(copy, c))
            return &copy;
    return nullptr;
}

// Applies one step's changed names to the group that holds its copies.
void Follow(TDuplicateGroup& g, TReclaimAction action, const TReclaimStep& step,
            const std::set<std::string>& changed) {
    TDuplicateCopy* target = Find(g, step.Target);
    TDuplicateCopy* kept = Find(g, step.Kept);
    if (!target || !kept)
        return;
    std::vector<std::string> moved;
    auto& names = target->Names;
    for (auto it = names.begin(); it != names.end();)
        if (changed.count(*it)) {
            moved.push_back(*it);
            it = names.erase(it);
        } else {
            ++it;
        }
    if (action == TReclaimAction::kHardLink) {
        kept->Names.insert(kept->Names.end(), moved.begin(), moved.end());
        std::sort(kept->Names.begin(), kept->Names.end());
    } else if (action == TReclaimAction::kClone && !moved.empty()) {
        // The clones are new inodes sharing the kept copy's data; their
        // inode numbers are not known here, so they are told apart by name.
        TDuplicateCopy clone = *kept;
        clone.Names = moved;
        clone.Inode = 0;
        g.Copies.push_back(clone);
    }
}

}  // namespace

TDuplicateResult FollowReclaim(const TDuplicateResult& before, TReclaimAction action,
                               const std::vector<TReclaimStep>& steps,
                               const TReclaimReport& report) {
    TDuplicateResult after = before;
    const std::set<std::string> changed(report.Changed.begin(), report.Changed.end());
    for (const TReclaimStep& step : steps)
        for (TDuplicateGroup& g : after.Groups)
            if (g.Size == step.Size && Find(g, step.Target) && Find(g, step.Kept)) {
                Follow(g, action, step, changed);
                break;
            }
    for (TDuplicateGroup& g : after.Groups)
        g.Copies.erase(std::remove_if(g.Copies.begin(), g.Copies.end(),
                                      [](const TDuplicateCopy& c) { return c.Names.empty(); }),
                       g.Copies.end());
    after.Groups.erase(std::remove_if(after.Groups.begin(), after.Groups.end(),
                                      [](const TDuplicateGroup& g) { return g.Places() < 2; }),
                       after.Groups.end());
    after.Sort();
    return after;
}
