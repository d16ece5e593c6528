#include "engine/ImportedDrive.h"

#include <algorithm>

#include "platform/DriveForm.h"

TImportedDrive::TImportedDrive(std::shared_ptr<const TImportedTree> tree, char letter)
    : tree_(std::move(tree)), letter_(letter), table_({TDrive{letter, "/"}}) {}

bool TImportedDrive::Names(const std::string& driveForm, std::vector<std::string>& names) const {
    // The drive-form mapping onto a drive mounted at "/" gives "/a/b".
    const std::optional<std::string> native = DriveFormToNative(driveForm, table_);
    if (!native)
        return false;
    for (std::size_t pos = 1; pos < native->size();) {
        const std::size_t end = std::min(native->find('/', pos), native->size());
        names.push_back(native->substr(pos, end - pos));
        pos = end + 1;
    }
    return true;
}

TDirEntry TImportedDrive::EntryOf(const TImportedEntry& e) const {
    TDirEntry entry;
    entry.Name = std::string(tree_->NameOf(e));
    const bool folder = e.Folder != TImportedEntry::kNoFolder;
    entry.Attr = folder ? std::uint32_t{faDirectory} : e.NotRegular ? std::uint32_t{faSysFile} : 0u;
    if (!entry.Name.empty() && entry.Name[0] == '.')
        entry.Attr |= faHidden;
    entry.Size = e.Size;
    entry.StatSize = e.Size;
    entry.DiskBytes = e.Disk;
    entry.LastWriteSeconds = e.MTime;
    entry.Excluded = static_cast<std::uint8_t>(e.Excluded);
    return entry;
}

bool TImportedDrive::Lookup(const std::string& driveForm, TDirEntry& entry) const {
    std::vector<std::string> names;
    if (!Names(driveForm, names))
        return false;
    if (names.empty()) {
        entry = TDirEntry{};
        entry.Attr = faDirectory;
        entry.LastWriteSeconds = tree_->FolderMTime(0);
        return true;
    }
    const std::string name = names.back();
    names.pop_back();
    const std::int64_t parent = tree_->FolderAt(names);
    if (parent < 0)
        return false;
    const auto folder = static_cast<std::uint32_t>(parent);
    for (const TImportedEntry* e = tree_->begin(folder); e != tree_->end(folder); ++e)
        if (tree_->NameOf(*e) == name) {
            entry = EntryOf(*e);
            return true;
        }
    return false;
}

bool TImportedDrive::List(const std::string& driveForm, std::vector<TDirEntry>& entries) const {
    std::vector<std::string> names;
    if (!Names(driveForm, names))
        return false;
    const std::int64_t found = tree_->FolderAt(names);
    if (found < 0)
        return false;
    const auto folder = static_cast<std::uint32_t>(found);
    entries.clear();
    for (const TImportedEntry* e = tree_->begin(folder); e != tree_->end(folder); ++e)
        entries.push_back(EntryOf(*e));
    return true;
}
