#include "engine/ImportedTree.h"

void TImportedTree::AddRoot(std::int64_t mtime) {
    folderMTime_.assign(1, mtime);
}

std::uint32_t TImportedTree::Add(std::uint32_t parent, std::string_view name, bool isFolder,
                                 std::int64_t size, std::int64_t mtime, bool notRegular) {
    TImportedEntry entry;
    entry.NameOff = names_.size();
    entry.NameLen = static_cast<std::uint32_t>(name.size());
    entry.Size = isFolder ? 0 : size;
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
    // A stable counting sort by folder: the export interleaves a folder's
    // items with whole subtrees.
    start_.assign(FolderCount() + 1, 0);
    for (const std::uint32_t p : parentOf_)
        ++start_[p + 1];
    for (std::size_t i = 1; i < start_.size(); ++i)
        start_[i] += start_[i - 1];
    std::vector<std::uint32_t> next(start_.begin(), start_.end() - 1);
    std::vector<TImportedEntry> grouped(entries_.size());
    for (std::size_t i = 0; i < entries_.size(); ++i)
        grouped[next[parentOf_[i]]++] = entries_[i];
    entries_.swap(grouped);
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
