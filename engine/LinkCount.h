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
    std::int64_t Disk = 0;  // allocated bytes
    // Set by CountLinksOnce: this sighting is the one whose bytes stay.
    bool Kept = false;
    // For a walk's file sink: the index of the sighting's file details in
    // the walk's own table, or -1 (another part's sighting of the same name).
    std::int64_t Detail = -1;
};

// Takes back the bytes (and allocated bytes) of every sighting but the one
// in the folder that sorts first, from the tree's own counts, and marks
// the one kept.
void CountLinksOnce(std::vector<TLinkSeen>& links, TFolderTree& tree);
