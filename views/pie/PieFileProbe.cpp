#include "views/pie/PieFileProbe.h"

void TPieFileTable::AddEntry(const std::string& path, TPieEntryKind kind, std::uint32_t attributes,
                             bool listed, bool shellReadOnly) {
    entries_[path] = TPieEntryState{kind, attributes};
    if (listed) {
        listed_[path] = TPieListedItem{attributes, shellReadOnly};
    }
}

void TPieFileTable::AddVanished(const std::string& path, std::uint32_t attributes) {
    entries_.erase(path);
    listed_[path] = TPieListedItem{attributes, false};
}

TPieEntryState TPieFileTable::Probe(const std::string& path) const {
    auto it = entries_.find(path);
    return it == entries_.end() ? TPieEntryState{} : it->second;
}

std::optional<TPieListedItem> TPieFileTable::ListedItem(const std::string& path) const {
    auto it = listed_.find(path);
    if (it == listed_.end()) {
        return std::nullopt;
    }
    return it->second;
}
