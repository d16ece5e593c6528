#pragma once
// What a walk tells about each file, for collectors beside the folder sums
// (the largest files, the space per file type).
//
// A walk makes one sink per walking thread through TWalkSettings::MakeSink,
// so a sink is only ever called from one thread and needs no lock; before
// any file arrives, every sink of a walk but the first joins the first
// (Join), which lets them share what allows passing over a file early,
// never what they collect. Every
// file that takes part (attributes and filter; not folders) reaches exactly
// one sink once:
// - a file with one link as its folder is listed, Counted true;
// - a file with several links once, after the walk and on the walk's
//   calling thread, to the merged sink, at the name whose folder holds its
//   bytes in the sums (the folder whose path sorts first), with Names, the
//   count of its names the walk saw. The walk keeps no name per sighting:
//   while it walks, it asks the sink of the thread that sees the name
//   (WantsName) whether the name may be needed; when it may not, the file
//   arrives with Named false and only its extension (see TWalkFile).
// When the walk is over, the other threads' sinks are merged into the first
// one (Merge, on the calling thread), the hard-linked names follow, and
// Finish gets the tree so that folder numbers can be turned into paths
// (TFolderTree::PathOf). A cancelled walk merges and finishes all the same;
// its owner throws the result away.
//
// A collector whose results are stored with the drive's result set adds
// them as extra lists (ExtraLists.h) in AddExtraLists; its kind
// (ExtraFileKind.h) names the maker, so every scan runs it.
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "engine/ExtraLists.h"

class TFolderTree;

struct TWalkFile {
    std::uint32_t Folder = 0;           // the folder's node in the walk's tree
    std::string_view Name;              // raw bytes; valid during the call only
    std::int64_t Size = 0;              // the file's length in bytes
    std::int64_t Allocated = 0;         // bytes it takes on the disk (st_blocks * 512)
    std::int64_t LastWriteSeconds = 0;  // modification time, seconds since 1970 UTC
    std::uint32_t LastWriteNanos = 0;
    bool Counted = true;      // its bytes count in this folder's sums
    std::uint32_t Links = 1;  // its hard-link count (names anywhere)
    std::uint64_t Device = 0, Inode = 0;
    // The names of the file the walk saw (fewer than Links: it has names
    // outside the walk).
    std::uint32_t Names = 1;
    // False: no sink wanted the name; Name is "*" and the name's extension
    // with its dot ("*.gz", or "*" for none), enough for its type.
    bool Named = true;
};

class TFileSink {
  public:
    virtual ~TFileSink() = default;
    virtual void File(const TWalkFile& file) = 0;
    // Whether the sink may still need the name of a file with several
    // links (a list it may make); asked on the walking thread, before the
    // file arrives. Once false for a file, it must stay false for it.
    virtual bool WantsName(const TWalkFile& file) const {
        (void)file;
        return true;
    }
    // Shares with first, another sink of the same walk and type, what lets
    // both skip files early; it is called before any file arrives, and the
    // two may then be called at once from different threads.
    virtual void Join(TFileSink& first) { (void)first; }
    // Takes over what another walking thread's sink collected; other is of
    // the type MakeSink makes and is dropped afterwards.
    virtual void Merge(TFileSink& other) = 0;
    // Called once on the merged sink when everything has been delivered.
    virtual void Finish(const TFolderTree& tree) { (void)tree; }
    // After Finish: adds the lists this collector stores with the set, by
    // its kind's role.
    virtual void AddExtraLists(TExtraLists& extras) { (void)extras; }
};

using TFileSinkMaker = std::function<std::unique_ptr<TFileSink>()>;
