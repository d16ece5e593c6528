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

// Each name replaced by a clone is a copy of its own: a new inode with the
// replaced file's times, in the kept copy's shared set. Knowing its inode
// lets the next reclaim (and the next follow) recognise it as the file it
// is; a name whose clone is unknown leaves the result.
void AddClones(TDuplicateGroup& g, const TDuplicateCopy& kept,
               const std::vector<std::string>& names, const TReclaimReport& report) {
    for (const std::string& name : names) {
        const auto made = report.Clones.find(name);
        if (made == report.Clones.end())
            continue;
        TDuplicateCopy clone;
        clone.Names = {name};
        clone.Device = made->second.Device;
        clone.Inode = made->second.Inode;
        clone.WriteNanos = made->second.WriteNanos;
        clone.SharedSet = kept.SharedSet;
        g.Copies.push_back(std::move(clone));
    }
}

// Applies one step's changed names to the group that holds its copies.
void Follow(TDuplicateGroup& g, TReclaimAction action, const TReclaimStep& step,
            const std::set<std::string>& changed, const TReclaimReport& report) {
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
    } else if (action == TReclaimAction::kClone) {
        AddClones(g, *kept, moved, report);
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
                Follow(g, action, step, changed, report);
                break;
            }
    for (TDuplicateGroup& g : after.Groups)
        g.Copies.erase(std::remove_if(g.Copies.begin(), g.Copies.end(),
                                      [](const TDuplicateCopy& c) { return c.Names.empty(); }),
                       g.Copies.end());
    // As a new search would list them: a group of copies that all share
    // their data stays, marked so, and wastes nothing.
    after.Groups.erase(std::remove_if(after.Groups.begin(), after.Groups.end(),
                                      [](const TDuplicateGroup& g) { return g.Copies.size() < 2; }),
                       after.Groups.end());
    after.Sort();
    return after;
}
