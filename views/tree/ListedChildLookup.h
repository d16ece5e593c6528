#pragma once
// Finding many items of one listing in the global folder list at once. The
// items are all children of the listed folder, and the list is in byte
// order, so every entry that can name one of them lies in the block of
// entries that begin with the folder's path and a backslash: that block is
// found once, and each item is then looked for inside it only, comparing
// just the bytes after the common beginning. A folder of a hundred thousand
// files among a million stored folders costs a hundred thousand searches of
// a block that is mostly empty instead of of the whole list.
#include <string>
#include <string_view>

#include "engine/StringList.h"

class TListedChildLookup {
  public:
    // folder is the listing's root in its drive form ("C:\" or "C:\a\b").
    TListedChildLookup(const TStringList& dirs, std::string_view folder);

    // The same answer as FindListedFolder(dirs, listedPath).
    int Find(std::string_view listedPath) const;

  private:
    // The entries beginning with prefix, one spelling of the drive letter.
    struct TBlock {
        std::string prefix;
        int first = 0;  // the block is [first, end)
        int end = 0;
    };
    TBlock BlockOf(std::string prefix) const;
    int FindIn(const TBlock& block, std::string_view listedPath) const;

    const TStringList& dirs_;
    TBlock blocks_[2];  // the letter as written, then its other case
    int blockCount_ = 0;
};
