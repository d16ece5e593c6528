#include "views/tree/ListingSource.h"

#include "platform/DriveForm.h"
#include "platform/FileInfo.h"

namespace {

class TFileSystemListing : public TListingSource {
  public:
    bool List(const std::string& root, TFolderListing& listing) override {
        const std::optional<std::string> path = DriveFormToNative(root);
        if (!path || !ListFolderNative(*path, listing.Entries))
            return false;
        listing.Native = *path;
        listing.SelfKnown = LookupNative(listing.Native, listing.Self);
        if (!listing.SelfKnown)
            listing.Self.Attr = faDirectory;
        return true;
    }
    bool OnFileSystem() const override { return true; }
};

TListingSource* installed = nullptr;

}  // namespace

TListingSource& TListingSource::Current() {
    static TFileSystemListing fileSystem;
    return installed != nullptr ? *installed : fileSystem;
}

TScopedListingSource::TScopedListingSource(TListingSource& source) : previous_(installed) {
    installed = &source;
}

TScopedListingSource::~TScopedListingSource() {
    installed = previous_;
}
