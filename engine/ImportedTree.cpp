#include "engine/ImportedTree.h"

TGrouping GroupByParent(const std::vector<std::uint32_t>& parentOf, std::size_t groups) {
    TGrouping g;
    g.Start.assign(groups + 1, 0);
    for (const std::uint32_t p : parentOf)
        ++g.Start[p + 1];
    for (std::size_t i = 1; i < g.Start.size(); ++i)
        g.Start[i] += g.Start[i - 1];
    g.Order.resize(parentOf.size());
    std::vector<std::uint32_t> next(g.Start.begin(), g.Start.end() - 1);
    for (std::size_t i = 0; i < parentOf.size(); ++i)
        g.Order[next[parentOf[i]]++] = static_cast<std::uint32_t>(i);
    return g;
}

void TImportedTree::AddRoot(std::int64_t mtime) {
    folderMTime_.assign(1, mtime);
}

void TImportedTree::AddExcluded(std::uint32_t parent, std::string_view name, TExcludedReason why,
                                std::int64_t mtime) {
    Add(parent, name, false, 0, mtime, false);
    entries_.back().Excluded = why;
}

std::uint32_t TImportedTree::Add(std::uint32_t parent, std::string_view name, bool isFolder,
                                 std::int64_t size, std::int64_t mtime, bool notRegular,
                                 std::int64_t disk) {
    TImportedEntry entry;
    entry.NameOff = names_.size();
    entry.NameLen = static_cast<std::uint32_t>(name.size());
    entry.Size = isFolder ? 0 : size;
    entry.Disk = isFolder ? 0 : disk;
    entry.MTime = mtime;
    entry.NotRegular = notRegular;
    if (isFolder) {
        entry.Folder = static_cast<std::uint32_t>(folderMTime_.size());
        folderMTime_.push_back(mtime);
    }
    names_ += name;
    entries_.push_back(entry);
    parentOf_.push_back(parent);
    return entry.Folder;
}

void TImportedTree::Finish() {
    TGrouping groups = GroupByParent(parentOf_, FolderCount());
    std::vector<TImportedEntry> grouped;
    grouped.reserve(entries_.size());
    for (const std::uint32_t i : groups.Order)
        grouped.push_back(entries_[i]);
    entries_.swap(grouped);
    start_ = std::move(groups.Start);
    parentOf_.clear();
    parentOf_.shrink_to_fit();
}

const TImportedEntry* TImportedTree::begin(std::uint32_t folder) const {
    return entries_.data() + start_[folder];
}

const TImportedEntry* TImportedTree::end(std::uint32_t folder) const {
    return entries_.data() + start_[folder + 1];
}

std::int64_t TImportedTree::FolderAt(const std::vector<std::string>& names) const {
    std::uint32_t folder = 0;
    for (const std::string& name : names) {
        const TImportedEntry* found = nullptr;
        for (const TImportedEntry* e = begin(folder); e != end(folder); ++e)
            if (e->Folder != TImportedEntry::kNoFolder && NameOf(*e) == name) {
                found = e;
                break;
            }
        if (found == nullptr)
            return -1;
        folder = found->Folder;
    }
    return folder;
}
