#include "engine/StoredSet.h"

TStoredSet TStoredSet::Initial() {
    return TStoredSet{{" "}, {"0"}, {"0"}, {}};
}

bool TStoredSet::Empty() const {
    return Dirs.empty() && Sizes.empty() && Percents.empty();
}

void TStoredSet::DropExtra(std::string_view role) {
    const auto it = Extras.find(role);
    if (it != Extras.end())
        Extras.erase(it);
}

void TStoredSet::DropExtras() {
    Extras.clear();
}
