#pragma once
// A find by a walk below the query's folder, on the threads a scan of it
// would use: the analyzer (set up by the caller: its Cancel, progress and
// threads are read as a scan reads them) walks Below with a find collector
// instead of the scan's, so files are matched as they are listed; the
// folders are then found in the lists that walk made (FolderFind.h), each
// with its total. Empty when the walk was cancelled or the pattern cannot
// be used. Items come folders first, each kind by path.
#include "engine/FindQuery.h"

class TAnalizeDisk;
class TNameMatcher;

TFoundItems FindByWalk(const TFindQuery& query, const TNameMatcher& matcher,
                       TAnalizeDisk& analyzer);
