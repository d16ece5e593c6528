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
// A file with several hard links counts once in a scan, in the folder that
// sorts first among those that link it. Where such a file has names outside
// the item that moves, only a scan can tell which folder now holds it: the
// move carries the numbers as they were stored.
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
    } Kind = TKind::Add;
    std::string From, To;  // empty when on no drive
    bool Folder = false;
    std::int64_t Bytes = 0;             // a file's size
    TStringList Dirs, Sizes, Percents;  // an added folder's scan, the folder first
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
    // when a moved folder was not stored.
    std::optional<std::int64_t> Apply(TStringList& dirs, TStringList& sizes,
                                      TStringList& percents) const;

  private:
    std::vector<TFollowStep> steps_;
};
