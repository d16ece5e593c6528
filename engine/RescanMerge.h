#pragma once
// Merging the analysis of one rescanned folder into the stored analysis of
// its drive, so that the stored lists stay what a scan of the whole drive
// gives: every folder's size is its own bytes plus everything below it, and
// every share is of the direct parent's size.
//
// After the merge of folder F:
// - the stored folders below F are exactly the rescanned ones (new folders
//   inserted at their sorted places, gone ones removed), with the rescan's
//   sizes and shares; F takes the rescan's size;
// - every stored ancestor of F carries F's change in size; an ancestor that
//   is not stored (F or one of its parents is new since the drive scan) is
//   inserted holding the sum of what is stored below it after the merge
//   (each folder counted once, with everything below it), never less than
//   any folder below it;
// - the share of every folder whose parent changed (F, its siblings and the
//   siblings of each ancestor) is computed again from the new sizes.
// When nothing outside F changed on disk, the lists are then the ones a scan
// of the whole drive would give, text for text.
#include "engine/StringList.h"

// Merges the rescan (dirs, sizes, percents as the analyzer leaves them, the
// first entry being F) into the stored lists. Applies to stored lists of one
// length each, drive roots first and every other path in strictly rising byte
// order, and to a rescan of the same form whose entries after the first all
// lie below F. The merged lists must stay in strictly rising byte order as a
// whole (the order the loader takes), so stored roots that would sort after
// F's drive root or its paths (only in hand-edited lists) rule a merge out.
// For anything else it returns false and changes nothing.
// The rescan's drive letter may differ in case from the stored one; the
// stored letter is kept.
bool MergeRescan(TStringList& dirs, TStringList& sizes, TStringList& percents,
                 const TStringList& rescanDirs, const TStringList& rescanSizes,
                 const TStringList& rescanPercents);

// The merge a folder rescan makes of the stored lists: MergeRescan where it
// applies; for lists outside its form each rescanned folder that is stored
// (exact path, drive letter in any case) only gets its new size, and its new
// share unless it is the rescanned folder. The lists may be of different
// lengths then: only entries that exist are written.
void AppendRescan(TStringList& dirs, TStringList& sizes, TStringList& percents,
                  const TStringList& rescanDirs, const TStringList& rescanSizes,
                  const TStringList& rescanPercents);
