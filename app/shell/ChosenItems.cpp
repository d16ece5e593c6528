#include "app/shell/ChosenItems.h"

#include <algorithm>
#include <set>

TChosenItems OutermostItems(const TChosenItems& items) {
    std::set<std::string> folders;
    for (const TChosenItem& item : items)
        if (item.Folder)
            folders.insert(item.Path);
    TChosenItems kept;
    std::set<std::string> seen;
    for (const TChosenItem& item : items) {
        bool below = false;
        // Each folder above the item, nearest first.
        for (std::size_t cut = item.Path.rfind('\\'); cut != std::string::npos && cut > 0 && !below;
             cut = item.Path.rfind('\\', cut - 1))
            below = folders.count(item.Path.substr(0, cut)) > 0;
        if (!below && seen.insert(item.Path).second)
            kept.push_back(item);
    }
    return kept;
}
