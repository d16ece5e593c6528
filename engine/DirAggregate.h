#pragma once
// Adding every folder's descendants into its size, and every folder's share
// of its parent, over the sorted and indexed lists.
//
// A descendant of folder F is an entry whose path begins with F followed by
// a backslash (bytes compared exactly: "Data" and "data" are different
// folders). Candidates are limited by the first-letter index: a drive root
// is compared with the whole list, every other entry with the entries of
// its key. Sizes that do not read as whole numbers count as 0 for their own
// folder and are skipped as descendants; a share is written by every
// ancestor in turn, so the direct parent's value stays.
#include <atomic>

#include "engine/DirOrder.h"
#include "engine/StringList.h"

// The candidate scan exactly as stated above: each entry compared with each
// of its candidates. Quadratic in the worst case; it is the reference the
// fast forms are held to, and handles lists the fast forms do not cover.
// Returns false when Cancel stopped it.
bool AggregateSizesPlain(const TStringList& dirs, TStringList& sizes, TDirIndex& index,
                         const std::atomic<bool>& cancel);
void ComputePercentsPlain(const TStringList& dirs, const TStringList& sizes, TStringList& percents,
                          TDirIndex& index);

// The same results in linear time. After sorting, the descendants of a
// folder are one contiguous run (all paths beginning with "F\"), so one pass
// with a stack of open folders finds every run; sums come from prefix sums.
// Applies to lists sorted and indexed by DirOrder whose drive-root entries
// come first and whose other paths have at least four bytes; for any other
// list these fall back to the plain forms.
// Whether the fast forms cover the list (else they run the plain ones).
bool FastFormApplies(const TStringList& dirs, const TDirIndex& index);

bool AggregateSizes(const TStringList& dirs, TStringList& sizes, TDirIndex& index,
                    const std::atomic<bool>& cancel);
void ComputePercents(const TStringList& dirs, const TStringList& sizes, TStringList& percents,
                     TDirIndex& index);
// Both steps in one pass over the folder structure, as a run does them: the
// percentages use the totals just computed. After a cancel (false) the
// percentages are left alone.
bool AggregateSizesAndPercents(const TStringList& dirs, TStringList& sizes, TStringList& percents,
                               TDirIndex& index, const std::atomic<bool>& cancel);
