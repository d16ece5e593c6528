#pragma once
// The folders of a scan read from an export, listed as if they were a drive
// of their own: the scan's root is "X:\" for the letter given, and every
// folder below it lists the folders and items the export recorded.
#include <memory>

#include "engine/ImportedTree.h"
#include "views/tree/ListingSource.h"

class TImportedListing : public TListingSource {
  public:
    TImportedListing(std::shared_ptr<const TImportedTree> tree, char letter);
    bool List(const std::string& root, TFolderListing& listing) override;
    bool OnFileSystem() const override { return false; }

  private:
    std::shared_ptr<const TImportedTree> tree_;
    char letter_;
};
