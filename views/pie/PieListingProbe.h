#pragma once
// The pie's file probe over the real file system: the current folder's
// listing (the data of the shell list) and the platform layer's lookup of a
// drive-form path. Header only, so the pie library itself stays free of the
// listing; code that uses it links cq_tree (which brings cq_platform).
#include <optional>
#include <string>

#include "platform/FileInfo.h"
#include "views/pie/PieFileProbe.h"
#include "views/tree/ShellListModel.h"

class TPieListingProbe : public TPieFileProbe {
  public:
    explicit TPieListingProbe(const TShellListModel& listing) : listing_(listing) {}

    bool ListingHasItems() const override { return listing_.Count() > 0; }

    // What the path is now: looked up afresh, so a slice whose file has gone
    // since the listing is seen as missing.
    TPieEntryState Probe(const std::string& path) const override {
        TDirEntry entry;
        if (!LookupEntry(path, entry)) {
            return {};
        }
        const TPieEntryKind kind =
            (entry.Attr & faDirectory) != 0 ? TPieEntryKind::Folder : TPieEntryKind::File;
        return {kind, entry.Attr};
    }

    // The listed item with exactly this path; the listing's read-only state
    // is its attribute bit.
    std::optional<TPieListedItem> ListedItem(const std::string& path) const override {
        const int index = listing_.IndexOfPath(path);
        if (index < 0) {
            return std::nullopt;
        }
        const std::uint32_t attributes = listing_.Item(index).Attributes();
        return TPieListedItem{attributes, (attributes & faReadOnly) != 0};
    }

  private:
    const TShellListModel& listing_;
};
