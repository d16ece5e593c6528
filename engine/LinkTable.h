#pragma once
// The hard links of a walk at the cost of one entry per file: a file with
// several links is seen once per name, and its bytes count once, in the
// folder whose path sorts first (byte order, CompareDirs), at the name
// first in byte order there (the rule of LinkCount.h, which an import
// applies to a whole list of sightings at its end).
//
// A walk settles each folder's own names of one file as it lists the
// folder (ResolveFolder, on the listing thread), then offers the folder's
// sightings to the table (Commit, under the walk's lock, with the tree):
// the first sighting of a file makes its entry and keeps its bytes where
// they are; a later one compares its folder with the entry's, moves the
// bytes to the folder that sorts first, and leaves nothing behind. The
// entry holds the device, the inode, the folder the file counts in, its
// sizes and time, the names seen so far, and a name only when a file
// sink may list the file by it (TFileSink::WantsName); otherwise the
// extension alone, shared by every file of that type.
//
// After the walk Deliver gives each file to the merged sink once, in the
// order of device and inode.
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/FileSink.h"
#include "engine/FolderTree.h"
#include "engine/NameArena.h"

// One folder's names of a file with several links, under one filter part.
struct TLinkSighting {
    std::uint64_t Device = 0, Inode = 0;
    std::int64_t Size = 0, Disk = 0, MTime = 0;
    std::uint32_t Nanos = 0, Links = 0;
    int Part = 0;
    // The part is the first the name matches: a file sink hears of it.
    bool First = false;
    // After ResolveFolder: the folder's names of the file under this part,
    // and those of them whose first part this is.
    std::uint32_t Names = 1, FirstNames = 0;
    std::string Name;  // raw; "*.ext" when no sink wants it (Named false)
    bool Named = true;
};

// <0, 0, >0 as the paths of two folders of the tree compare (CompareDirs),
// without making the paths.
int CompareFolders(const TFolderTree& tree, std::uint32_t a, std::uint32_t b);

// "*" followed by the name's extension with its dot ("*" alone when it has
// none): what a file type table makes of the name, without the name.
std::string ExtensionStandIn(std::string_view rawName);

class TLinkTable {
  public:
    // Keeps one sighting per file and part of a listed folder's sightings
    // (its name first in byte order), taking the others' bytes back from
    // the folder's own counts (Own and OwnDisk, per part).
    static void ResolveFolder(std::vector<TLinkSighting>& sightings, std::int64_t* own,
                              std::int64_t* ownDisk);
    // Takes a folder's resolved sightings; the folder's own counts (own,
    // ownDisk) are not yet in the tree, the other folders' are.
    void Commit(TFolderTree& tree, std::uint32_t node, std::vector<TLinkSighting>& sightings,
                std::int64_t* own, std::int64_t* ownDisk);
    // Every file once to Sink, at the name that counts (Counted false when
    // that name's first part is another), with the names the walk saw.
    void Deliver(TFileSink& sink) const;
    // Files held.
    std::size_t Size() const { return entries_.size(); }

  private:
    // 56 bytes: the walk holds one per file with several links.
    struct Entry {
        std::uint64_t Inode;
        std::int64_t Size, Disk, MTime;
        std::uint32_t Nanos, Node, Links;
        // Names seen whose first part this is: with Links, the names not
        // yet seen (or outside the walk).
        std::uint32_t FirstNames : 30;
        std::uint32_t First : 1, Named : 1;
        std::uint32_t Name;    // in names_, when First
        std::uint16_t Device;  // in devices_
        std::uint16_t Part;
    };
    static void Settle(std::vector<TLinkSighting>& sightings, std::int64_t* own,
                       std::int64_t* ownDisk);
    std::uint32_t* Find(std::uint16_t device, std::uint64_t inode, int part);
    std::uint16_t DeviceIndex(std::uint64_t device);
    void Grow();
    std::uint32_t KeepName(const TLinkSighting& s);
    // The sighting becomes the one that counts.
    void Take(Entry& e, const TLinkSighting& s, std::uint32_t node);

    std::deque<Entry> entries_;         // in blocks: no copy as it grows
    std::vector<std::uint32_t> index_;  // entry + 1, 0 free; a power of two
    std::vector<std::uint64_t> devices_;
    TNameArena names_;  // kept names and stand-ins
    std::unordered_map<std::string, std::uint32_t> standIns_;
};
