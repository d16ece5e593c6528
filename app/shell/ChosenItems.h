#pragma once
// The items a user chose in a list (the bar list, the Discover lists, the
// Found list) for one command of the item menu, with what the menu tells
// of them: whether each is a folder and its size (a folder's stored total).
#include <cstdint>
#include <string>
#include <vector>

struct TChosenItem {
    std::string Path;  // drive form
    bool Folder = false;
    std::int64_t Size = 0;
};

using TChosenItems = std::vector<TChosenItem>;

// The items without those that lie below another chosen folder: a command
// on a folder takes what it holds along, so they would be counted and
// acted on twice. The order is kept.
TChosenItems OutermostItems(const TChosenItems& items);
