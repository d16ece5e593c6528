#pragma once
// Whether an item of a listed folder is one the stored results left out,
// and why: by the exclude rules the results were made with (for items on
// this machine), or by the reason an imported scan's file gives. The bar
// list, the folder tree and Properties all ask here, so they mark the same
// items "excluded" with the same words.
#include <string>

#include "engine/ExcludeListing.h"
#include "engine/ExtraLists.h"
#include "views/tree/ShellFolder.h"

class TItemExclusion {
  public:
    // For the items of the folder at the native path Folder (empty for a
    // folder of an imported scan), by the rules in the stored extra lists.
    TItemExclusion(const TExtraLists& storedExtras, const std::string& folder);

    // Why the item is left out ("" when it is not); Folder tells whether it
    // is listed as a folder, for the cache tag.
    std::string Why(const TShellFolder& item, bool folder) const;
    std::string Why(const TShellFolder& item) const { return Why(item, item.IsFolder()); }

  private:
    TExcludeListing rules_;
};

// Why the stored rules leave out the folder at the drive-form path ("" when
// they do not, or when the folder is not on this machine): the folder
// tree's question, asked of one folder at a time.
std::string FolderExclusion(const TExtraLists& storedExtras, const std::string& driveForm);
