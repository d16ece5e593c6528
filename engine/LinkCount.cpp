#include "engine/LinkCount.h"

#include <algorithm>
#include <map>
#include <string>
#include <tuple>

#include "engine/DirOrder.h"

namespace {

// Wrapping like the totals do: an import may carry any sizes.
void TakeBack(std::int64_t& own, std::int64_t bytes) {
    own = static_cast<std::int64_t>(static_cast<std::uint64_t>(own) -
                                    static_cast<std::uint64_t>(bytes));
}

// Whether name A in folder A (drive-form path) counts before name B in
// folder B: the rule the header states.
bool LinkNameFirst(std::string_view folderA, std::string_view nameA, std::string_view folderB,
                   std::string_view nameB) {
    const int order = CompareDirs(folderA, folderB);
    return order < 0 || (order == 0 && nameA < nameB);
}

}  // namespace

void CountLinksOnce(std::vector<TLinkSeen>& links, TFolderTree& tree, const TLinkName& nameOf) {
    std::sort(links.begin(), links.end(), [](const TLinkSeen& a, const TLinkSeen& b) {
        return std::tie(a.Device, a.Inode, a.Part) < std::tie(b.Device, b.Inode, b.Part);
    });
    std::map<std::uint32_t, std::string> paths;
    auto pathOf = [&](std::uint32_t node) -> const std::string& {
        auto it = paths.find(node);
        if (it == paths.end())
            it = paths.emplace(node, tree.PathOf(node)).first;
        return it->second;
    };
    for (size_t i = 0; i < links.size();) {
        size_t j = i;
        size_t keep = i;
        while (j < links.size() && links[j].Device == links[i].Device &&
               links[j].Inode == links[i].Inode && links[j].Part == links[i].Part) {
            if (LinkNameFirst(pathOf(links[j].Node), nameOf(links[j]), pathOf(links[keep].Node),
                              nameOf(links[keep])))
                keep = j;
            ++j;
        }
        links[keep].Kept = true;
        for (size_t k = i; k < j; ++k) {
            if (k == keep)
                continue;
            const size_t at = static_cast<size_t>(links[k].Node) * tree.Parts + links[k].Part;
            TakeBack(tree.Own[at], links[k].Size);
            TakeBack(tree.OwnDisk[at], links[k].Disk);
        }
        i = j;
    }
}
