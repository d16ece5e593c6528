#include "engine/DuplicateGroup.h"

#include <algorithm>
#include <set>
#include <tuple>

int TDuplicateGroup::Places() const {
    std::set<int> sets;
    for (const TDuplicateCopy& copy : Copies)
        sets.insert(copy.SharedSet);
    return static_cast<int>(sets.size());
}

std::int64_t TDuplicateGroup::Waste() const {
    const int places = Places();
    return places > 1 ? Size * (places - 1) : 0;
}

bool TDuplicateGroup::IsShared(std::size_t i) const {
    for (std::size_t j = 0; j < Copies.size(); ++j)
        if (j != i && Copies[j].SharedSet == Copies[i].SharedSet)
            return true;
    return false;
}

std::int64_t TDuplicateResult::TotalWaste() const {
    std::int64_t total = 0;
    for (const TDuplicateGroup& group : Groups)
        total += group.Waste();
    return total;
}

void TDuplicateResult::Sort() {
    for (TDuplicateGroup& group : Groups)
        std::sort(group.Copies.begin(), group.Copies.end(),
                  [](const TDuplicateCopy& a, const TDuplicateCopy& b) {
                      return a.Names.front() < b.Names.front();
                  });
    std::sort(Groups.begin(), Groups.end(), [](const TDuplicateGroup& a, const TDuplicateGroup& b) {
        const std::int64_t wa = a.Waste(), wb = b.Waste();
        return std::tie(wb, b.Size, a.Copies.front().Names.front()) <
               std::tie(wa, a.Size, b.Copies.front().Names.front());
    });
}

std::int64_t TDuplicateResult::WasteInside(const std::string& nativeFolder) const {
    const std::string prefix = nativeFolder.back() == '/' ? nativeFolder : nativeFolder + "/";
    std::int64_t total = 0;
    for (const TDuplicateGroup& g : Groups) {
        std::set<int> inside;
        for (const TDuplicateCopy& c : g.Copies)
            for (const std::string& n : c.Names)
                if (n.compare(0, prefix.size(), prefix) == 0)
                    inside.insert(c.SharedSet);
        const int places = g.Places();
        const int freed = int(inside.size()) == places ? places - 1 : int(inside.size());
        total += g.Size * freed;
    }
    return total;
}
