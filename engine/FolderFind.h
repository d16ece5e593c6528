#pragma once
// Folders found at once in a drive's stored lists: no disk is read. Each
// stored path's last name is unescaped (%5C %0D %0A %25 back to their
// bytes) and matched; a folder's size is its stored total, its allocated
// bytes those of the DiskSizes list when the set has one. The folders come
// in the lists' order; the matching is shared out among a few threads.
#include "engine/FindQuery.h"
#include "engine/StringList.h"

class TNameMatcher;

TFoundItems FindStoredFolders(const TFindQuery& query, const TNameMatcher& matcher,
                              const TStringList& dirs, const TStringList& sizes,
                              const TStringList* diskSizes);
