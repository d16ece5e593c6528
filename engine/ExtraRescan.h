#pragma once
// A folder rescan's extra lists merged into a stored set's, each by its
// kind's Merge (ExtraFileKind.h). Runs before the set's own lists are
// merged: the kinds see the set's Dirs as they were.
#include "engine/ExtraLists.h"
#include "engine/StoredSet.h"
#include "engine/StringList.h"

// A stored list the rescan has no list of, whose kind is unknown, or that
// cannot follow the rescan, is dropped (not known until the next scan of
// the drive); a rescan's list the stored set lacks is not added, since the
// rest of the drive's values are missing.
void MergeRescanExtras(const TStringList& storedDirs, TExtraLists& stored,
                       const TStringList& rescanDirs, const TExtraLists& rescan);

// AppendRescan (RescanMerge.h) of the three lists with the extra lists
// merged first: what a folder rescan makes of a stored set.
void AppendRescanWithExtras(TStringList& dirs, TStringList& sizes, TStringList& percents,
                            TExtraLists& extras, const TStringList& rescanDirs,
                            const TStringList& rescanSizes, const TStringList& rescanPercents,
                            const TExtraLists& rescanExtras);
// The same on whole sets: every list of set follows the rescan.
void AppendRescanWithExtras(TStoredSet& set, const TStoredSet& rescan);
