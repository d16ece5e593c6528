#pragma once
// Where the listings of folders come from: the file system, or a scan read
// from an export file, whose folders exist only in the scan. Every listing
// of the window (the current folder, the folder tree) goes through the
// source in use, so an imported scan is browsed exactly like a drive.
#include <string>
#include <vector>

#include "platform/DirListing.h"

// One folder as a source lists it.
struct TFolderListing {
    TDirEntry Self;          // the folder's own entry (its name left empty)
    bool SelfKnown = false;  // Self could be described
    std::vector<TDirEntry> Entries;
    std::string Native;  // where it lies on the file system; empty when nowhere
};

class TListingSource {
  public:
    virtual ~TListingSource() = default;
    // Lists the drive-form folder Root ("X:\" or "X:\a\b"); false when it
    // cannot be listed.
    virtual bool List(const std::string& root, TFolderListing& listing) = 0;
    // True when the folders are on a file system the program may change.
    virtual bool OnFileSystem() const = 0;

    // The source in use: the file system unless another is installed.
    static TListingSource& Current();
};

// Installs a source for the lifetime of the object.
class TScopedListingSource {
  public:
    explicit TScopedListingSource(TListingSource& source);
    ~TScopedListingSource();
    TScopedListingSource(const TScopedListingSource&) = delete;
    TScopedListingSource& operator=(const TScopedListingSource&) = delete;

  private:
    TListingSource* previous_;
};
