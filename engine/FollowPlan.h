#pragma once
// How a drive's stored analysis follows what an item command did (Rename,
// Move to Trash, Paste): the command's steps, already measured where the
// items ended up, applied as edits of the stored lists. A folder that moved
// (renamed, cut and pasted, moved to the trash) takes its stored numbers
// along; an item that appeared (a pasted copy, a half-made copy the trash
// took back, a trash info file) arrives with the numbers measured for it,
// which a scan's walk gives, so the numbers agree with a scan; the folders
// the trash makes get their entries. Items that move off the stored drive
// leave the lists; items that move onto it from no drive arrive as added.
//
// A folder a file moved out of or into is listed afresh after the command
// (a Relist step): its own bytes become those of the files it now holds, so
// a file that grew or shrank since the scan leaves exactly what the lists
// held for it, never the bytes it has now. Files of one link are exact
// this way. A file with several hard links counts once in a scan, in the
// folder that sorts first among those that link it; where such a file has
// names outside the item that moves, only a scan can tell which folder now
// holds it: a folder keeps the part of its stored own bytes that such files
// account for, up to what they now hold, and a move carries the numbers as
// they were stored. No total goes below zero.
//
// The allocated bytes (the set's DiskSizes list, when it has one) take the
// same edits with the allocated figures measured beside the sizes.
//
// Paths are in drive form ("C:\a\b"). Nothing here looks at the disk: the
// caller measures each step before adding it.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/StringList.h"

// One thing a command did, with what was measured of it.
struct TFollowStep {
    enum class TKind {
        MakeFolder,  // an empty folder was made at To
        Add,         // an item appeared at To
        Move,        // an item moved from From to To
        Relist,      // the folder To listed after the command (see above)
    } Kind = TKind::Add;
    std::string From, To;  // empty when on no drive
    bool Folder = false;
    // A file's size and allocated bytes, and its hard links. Relist: the
    // sums over the folder's files of one link.
    std::int64_t Bytes = 0, Allocated = 0;
    std::uint32_t Links = 1;
    // Relist: the sums over its files of several links.
    std::int64_t LinkedBytes = 0, LinkedAllocated = 0;
    // An added folder's scan, the folder first; DiskSizes empty when its
    // allocated bytes are not known.
    TStringList Dirs, Sizes, Percents, DiskSizes;
};

class TFollowPlan {
  public:
    void Add(TFollowStep step) { steps_.push_back(std::move(step)); }
    bool Empty() const { return steps_.empty(); }
    // The folders that hold a From or a To of the steps, each once, in
    // byte order: the folders whose listing the command changed.
    std::vector<std::string> Parents() const;
    // Whether the lists hold the analysis of a drive the plan touches.
    bool ConcernsLists(const TStringList& dirs) const;
    // Edits the lists (a change for the stored set) and returns the bytes
    // the moves carried: the stored total of a folder, a file's size; none
    // when a moved folder was not stored. allocated, when given, is the
    // DiskSizes list; allocatedKept then tells whether it is still true
    // (false: a folder arrived whose allocated bytes were not measured).
    std::optional<std::int64_t> Apply(TStringList& dirs, TStringList& sizes, TStringList& percents,
                                      TStringList* allocated = nullptr,
                                      bool* allocatedKept = nullptr) const;
    const std::vector<TFollowStep>& Steps() const { return steps_; }

  private:
    std::vector<TFollowStep> steps_;
};
