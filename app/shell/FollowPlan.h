#pragma once
// How a drive's stored analysis follows what an item command did: the
// command's file events, measured where the items ended up, as edits of the
// stored lists. A folder that moved (renamed, cut and pasted, moved to the
// trash) takes its stored numbers along; an item that appeared (a pasted
// copy, a half-made copy the trash took back, a trash info file) is
// measured by the same walk as a scan, so the numbers agree with one; the
// folders the trash makes get their entries. Items that move off the
// stored drive leave the lists.
//
// A file with several hard links counts once in a scan, in the folder that
// sorts first among those that link it. Where such a file has names outside
// the item that moves, only a scan can tell which folder now holds it: the
// move carries the numbers as they were stored.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/StringList.h"

namespace cq::desktop {
class TFileEventLog;
}

class TFollowPlan {
  public:
    // Measures the log's items where they are now. Walks pasted folders, so
    // run it off the user-interface thread after a paste.
    static TFollowPlan Measure(const cq::desktop::TFileEventLog& log);

    bool Empty() const { return steps_.empty(); }
    // Whether the lists hold the analysis of a drive the plan touches.
    bool ConcernsLists(const TStringList& dirs) const;
    // Edits the lists (a change for the stored set) and returns the bytes
    // the moves carried: the stored total of a folder, a file's size; none
    // when a moved folder was not stored.
    std::optional<std::int64_t> Apply(TStringList& dirs, TStringList& sizes,
                                      TStringList& percents) const;

  private:
    struct TStep {
        enum class TKind { MakeFolder, Add, Move } Kind;
        std::string From, To;  // drive form; empty when on no drive
        bool Folder = false;
        std::int64_t Bytes = 0;             // a file's
        TStringList Dirs, Sizes, Percents;  // a measured folder's scan
    };
    static void MeasureAppeared(const std::string& native, TStep& step);

    std::vector<TStep> steps_;
};
