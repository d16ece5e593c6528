#pragma once
// Hard links counted once. A file with several links is seen once per name;
// its bytes stay only in the folder whose path sorts first (byte order), the
// same folder whichever name a walk or an import meets first.
#include <cstdint>
#include <vector>

#include "engine/FolderTree.h"

// A file with more than one link, seen in a folder under one filter part.
struct TLinkSeen {
    std::uint64_t Device, Inode;
    std::uint32_t Node;
    int Part;
    std::int64_t Size;
};

// Takes back the bytes of every sighting but the one in the folder that
// sorts first, from the tree's own counts.
void CountLinksOnce(std::vector<TLinkSeen>& links, TFolderTree& tree);
