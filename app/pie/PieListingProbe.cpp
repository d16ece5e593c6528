#include "app/pie/PieListingProbe.h"

#include "app/shell/ListedItems.h"
#include "platform/FileInfo.h"
#include "views/tree/ShellListModel.h"

bool TPieListingProbe::ListingHasItems() const {
    return bar_ && bar_->Count() > 0;
}

TPieEntryState TPieListingProbe::Probe(const std::string& path) const {
    TDirEntry entry;
    if (!LookupEntry(path, entry))
        return {};
    const bool folder = (entry.Attr & kPieAttrDirectory) != 0;
    return {folder ? TPieEntryKind::Folder : TPieEntryKind::File, entry.Attr};
}

std::optional<TPieListedItem> TPieListingProbe::ListedItem(const std::string& path) const {
    const TShellFolder* item = bar_ ? PathToTShellFolder(*bar_, path) : nullptr;
    if (!item)
        return std::nullopt;
    return TPieListedItem{item->Attributes(), (item->Attributes() & kPieAttrReadOnly) != 0};
}
