#include "engine/DuplicateKeepRule.h"

#include <algorithm>
#include <tuple>

namespace {

bool Inside(const std::string& path, const std::string& folder) {
    if (folder.empty())
        return false;
    const std::string prefix = folder.back() == '/' ? folder : folder + "/";
    return path.compare(0, prefix.size(), prefix) == 0;
}

bool AnyInside(const TDuplicateCopy& c, const std::string& folder) {
    return std::any_of(c.Names.begin(), c.Names.end(),
                       [&](const std::string& n) { return Inside(n, folder); });
}

std::size_t ShortestName(const TDuplicateCopy& c) {
    std::size_t shortest = c.Names.front().size();
    for (const std::string& n : c.Names)
        shortest = std::min(shortest, n.size());
    return shortest;
}

// Whether copy a is a better one to keep than copy b under the rule.
bool Better(const TDuplicateCopy& a, const TDuplicateCopy& b, const TKeepRule& rule) {
    switch (rule.Rule) {
        case TKeepRule::kNewest:
            return a.WriteNanos > b.WriteNanos;
        case TKeepRule::kShortestPath:
            return ShortestName(a) < ShortestName(b);
        case TKeepRule::kInsideFolder: {
            const bool ia = AnyInside(a, rule.Folder), ib = AnyInside(b, rule.Folder);
            if (ia != ib)
                return ia;
            return a.WriteNanos < b.WriteNanos;
        }
        case TKeepRule::kOldest:
            break;
    }
    return a.WriteNanos < b.WriteNanos;
}

TReclaimStep Step(const TDuplicateGroup& g, std::size_t kept, std::size_t target) {
    return {g.Size, g.Copies[kept], g.Copies[target],
            g.Copies[kept].SharedSet == g.Copies[target].SharedSet};
}

}  // namespace

std::size_t ChooseKeptCopy(const TDuplicateGroup& group, const TKeepRule& rule,
                           const std::vector<std::size_t>& allowed) {
    std::vector<std::size_t> among = allowed;
    if (among.empty())
        for (std::size_t i = 0; i < group.Copies.size(); ++i)
            among.push_back(i);
    std::size_t best = among.front();
    for (std::size_t i : among)
        if (Better(group.Copies[i], group.Copies[best], rule))
            best = i;
    return best;
}

std::vector<TReclaimStep> AllButKept(const TDuplicateResult& result, const TKeepRule& rule) {
    std::vector<TReclaimStep> steps;
    for (const TDuplicateGroup& g : result.Groups) {
        const std::size_t kept = ChooseKeptCopy(g, rule);
        for (std::size_t i = 0; i < g.Copies.size(); ++i)
            if (i != kept)
                steps.push_back(Step(g, kept, i));
    }
    return steps;
}

std::vector<TReclaimStep> ChosenCopies(const TDuplicateGroup& group,
                                       const std::vector<std::size_t>& chosen,
                                       const TKeepRule& rule) {
    std::vector<std::size_t> others;
    for (std::size_t i = 0; i < group.Copies.size(); ++i)
        if (std::find(chosen.begin(), chosen.end(), i) == chosen.end())
            others.push_back(i);
    if (chosen.empty() || group.Copies.empty())
        return {};
    const std::size_t kept = ChooseKeptCopy(group, rule, others);
    std::vector<TReclaimStep> steps;
    for (std::size_t i : chosen)
        if (i != kept && i < group.Copies.size())
            steps.push_back(Step(group, kept, i));
    return steps;
}
