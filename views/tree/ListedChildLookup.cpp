#include "views/tree/ListedChildLookup.h"

#include <algorithm>

#include "views/tree/ListedFolderLookup.h"

namespace {

// The first position in [first, end) whose entry is not before text.
int LowerBound(const TStringList& dirs, int first, int end, std::string_view text,
               std::size_t skip) {
    while (first < end) {
        const int mid = first + (end - first) / 2;
        if (dirs[static_cast<std::size_t>(mid)].substr(skip) < text) {
            first = mid + 1;
        } else {
            end = mid;
        }
    }
    return first;
}

}  // namespace

TListedChildLookup::TListedChildLookup(const TStringList& dirs, std::string_view folder)
    : dirs_(dirs) {
    // A drive root keeps its backslash here: its children are "C:\x".
    std::string prefix(folder);
    if (prefix.size() < 3 || prefix[1] != ':') {
        return;  // not a drive-form folder: every lookup searches the whole list
    }
    if (prefix.back() != '\\') {
        prefix += '\\';
    }
    blocks_[blockCount_++] = BlockOf(prefix);
    if (OtherLetterCase(prefix[0]) != prefix[0]) {
        prefix[0] = OtherLetterCase(prefix[0]);
        blocks_[blockCount_++] = BlockOf(prefix);
    }
}

TListedChildLookup::TBlock TListedChildLookup::BlockOf(std::string prefix) const {
    TBlock block;
    const int size = static_cast<int>(dirs_.size());
    block.first = LowerBound(dirs_, 0, size, prefix, 0);
    // Every text beginning with the prefix sorts before the prefix with its
    // last byte (the backslash) raised by one.
    std::string after = prefix;
    after.back() = static_cast<char>(after.back() + 1);
    block.end = LowerBound(dirs_, block.first, size, after, 0);
    block.prefix = std::move(prefix);
    return block;
}

int TListedChildLookup::FindIn(const TBlock& block, std::string_view listedPath) const {
    const std::size_t skip = block.prefix.size();
    // The letter is compared through the block's own spelling.
    if (listedPath.size() <= skip || listedPath.substr(1, skip - 1) != block.prefix.substr(1) ||
        (listedPath[0] != block.prefix[0] && OtherLetterCase(listedPath[0]) != block.prefix[0])) {
        return -2;
    }
    const std::string_view rest = listedPath.substr(skip);
    const int at = LowerBound(dirs_, block.first, block.end, rest, skip);
    return at < block.end && dirs_[static_cast<std::size_t>(at)].substr(skip) == rest ? at : -1;
}

int TListedChildLookup::Find(std::string_view listedPath) const {
    int found = -1;
    for (int b = 0; b < blockCount_; ++b) {
        const int at = FindIn(blocks_[b], listedPath);
        if (at == -2) {
            return FindListedFolder(dirs_, listedPath);  // not a child: the whole list
        }
        if (at >= 0 && (found < 0 || at < found)) {
            found = at;
        }
    }
    return blockCount_ == 0 ? FindListedFolder(dirs_, listedPath) : found;
}
