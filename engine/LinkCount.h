#pragma once
// Hard links counted once. A file with several links is seen once per name;
// one name counts, the first in the lists' order: in the folder whose path
// sorts first (byte order, CompareDirs), the name first in byte order. Its
// bytes stay in that folder, and the largest files list the file there. The
// rule does not depend on the order a walk or an import meets the names, so
// a scan and the import of its own export agree on it.
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "engine/FolderTree.h"

// A file with more than one link, seen in a folder under one filter part.
struct TLinkSeen {
    std::uint64_t Device, Inode;
    std::uint32_t Node;
    int Part;
    std::int64_t Size;
    std::int64_t Disk = 0;  // allocated bytes
    // Set by CountLinksOnce: this sighting is the one whose bytes stay.
    bool Kept = false;
    // The index of the sighting's file details (its name among them) in the
    // walk's or the import's own table, or -1: no details (no file sink, or
    // another filter part's sighting of a name already given).
    std::int64_t Detail = -1;
};

// The raw name of a sighting, from its details; empty for none.
using TLinkName = std::function<std::string_view(const TLinkSeen&)>;

// Takes back the bytes (and allocated bytes) of every sighting but the one
// that counts, from the tree's own counts, and marks the one kept. A
// sighting without a name sorts first in its folder: only the sums use it,
// and they are the same for every name of one folder.
void CountLinksOnce(std::vector<TLinkSeen>& links, TFolderTree& tree, const TLinkName& nameOf);
