#include "views/treemap/TreemapScanFiles.h"

#include "platform/DriveForm.h"

TTreemapScanFiles::TTreemapScanFiles(std::shared_ptr<const TImportedTree> tree, std::string root)
    : tree_(std::move(tree)) {
    if (tree_ && tree_->FolderCount() > 0)
        folders_.emplace(std::move(root), 0);
}

void TTreemapScanFiles::NoteSubfolders(std::uint32_t at, const std::string& path) {
    if (!noted_.insert(at).second)
        return;
    for (const TImportedEntry* e = tree_->begin(at); e != tree_->end(at); ++e)
        if (e->Folder != TImportedEntry::kNoFolder)
            folders_.emplace(path + '\\' + EscapeName(tree_->NameOf(*e)), e->Folder);
}

std::int64_t TTreemapScanFiles::Find(const std::string& folder) {
    const auto known = folders_.find(folder);
    if (known != folders_.end())
        return known->second;
    const std::size_t slash = folder.rfind('\\');
    if (slash == std::string::npos)
        return kNone;
    const std::string parent = folder.substr(0, slash);
    const std::int64_t up = Find(parent);
    if (up == kNone)
        return kNone;
    NoteSubfolders(static_cast<std::uint32_t>(up), parent);
    const auto found = folders_.find(folder);
    return found == folders_.end() ? kNone : found->second;
}

void TTreemapScanFiles::operator()(const std::string& folder, std::vector<TLargeFile>& out) {
    if (!tree_)
        return;
    const std::int64_t found = Find(folder);
    if (found == kNone)
        return;
    const auto at = static_cast<std::uint32_t>(found);
    for (const TImportedEntry* e = tree_->begin(at); e != tree_->end(at); ++e)
        if (e->Folder == TImportedEntry::kNoFolder)
            out.push_back(
                {folder + '\\' + EscapeName(tree_->NameOf(*e)), e->Size, e->Disk, e->MTime});
    NoteSubfolders(at, folder);
}
