#include "views/tree/ImportedListing.h"

#include "platform/DriveForm.h"

namespace {

constexpr std::int64_t kNsPerSecond = 1000000000;

// "X:\a\b" -> {"a", "b"} as raw names; false for a path of another letter.
bool NamesBelowRoot(const std::string& root, char letter, std::vector<std::string>& names) {
    if (DriveLetterOf(root) != letter || root.size() < 3 || root[2] != '\\')
        return false;
    std::size_t pos = 3;
    while (pos < root.size()) {
        std::size_t end = root.find('\\', pos);
        if (end == std::string::npos)
            end = root.size();
        if (end > pos)
            names.push_back(UnescapeName(std::string_view(root).substr(pos, end - pos)));
        pos = end + 1;
    }
    return true;
}

}  // namespace

TImportedListing::TImportedListing(std::shared_ptr<const TImportedTree> tree, char letter)
    : tree_(std::move(tree)), letter_(letter) {}

bool TImportedListing::List(const std::string& root, TFolderListing& listing) {
    std::vector<std::string> names;
    if (!NamesBelowRoot(root, letter_, names))
        return false;
    const std::int64_t found = tree_->FolderAt(names);
    if (found < 0)
        return false;
    const auto folder = static_cast<std::uint32_t>(found);
    listing.Self = TDirEntry{};
    listing.Self.Attr = faDirectory;
    listing.Self.LastWriteNs = tree_->FolderMTime(folder) * kNsPerSecond;
    listing.SelfKnown = true;
    listing.Native.clear();
    listing.Entries.clear();
    for (const TImportedEntry* e = tree_->begin(folder); e != tree_->end(folder); ++e) {
        TDirEntry entry;
        entry.Name = std::string(tree_->NameOf(*e));
        const bool isFolder = e->Folder != TImportedEntry::kNoFolder;
        entry.Attr = isFolder        ? std::uint32_t{faDirectory}
                     : e->NotRegular ? std::uint32_t{faSysFile}
                                     : 0u;
        if (!entry.Name.empty() && entry.Name[0] == '.')
            entry.Attr |= faHidden;
        entry.Size = e->Size;
        entry.StatSize = e->Size;
        entry.LastWriteNs = e->MTime * kNsPerSecond;
        listing.Entries.push_back(std::move(entry));
    }
    return true;
}
