#pragma once
// Answers the pie drawing's questions about its slices from the file system
// and the current folder's listing.
#include "views/pie/PieFileProbe.h"

class TShellListModel;

class TPieListingProbe : public TPieFileProbe {
  public:
    explicit TPieListingProbe(const TShellListModel* bar) : bar_(bar) {}

    bool ListingHasItems() const override;
    TPieEntryState Probe(const std::string& path) const override;
    std::optional<TPieListedItem> ListedItem(const std::string& path) const override;

  private:
    const TShellListModel* bar_;
};
