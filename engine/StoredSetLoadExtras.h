#pragma once
// Finding the extra files of a stored set (ExtraFileKind.h), for a load and
// for the save that keeps the set it replaces. An extra file is the set's
// when its sums are those the manifest records for the set, under its own
// name or as the copy kept while a save replaced it; a save renames the
// extra files before its manifest, so until the manifest is renamed the
// kept copies are the set's. Where the manifest records two sets with the
// same three files (a save that changed only extra files), either set's
// files fit those lists, and the set before's are taken where the newer
// ones are not found.
//
// A file that is neither is told apart for the user as the result files
// are: changed outside the program (used as it is when its kind's checks
// pass), damaged (left out, with the line and what is wrong), missing, no
// regular file or larger than its kind allows (left out). The rest of the
// set loads either way. No file is read past its kind's bound, nor at all
// when its size is not the one recorded.
#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>

#include "engine/ExtraLists.h"
#include "engine/ResultSetManifest.h"
#include "engine/StoredSetFiles.h"

using TExtraSums = std::map<std::string, TResultFileSum, std::less<>>;

// The most bytes the file of role may have for a set of this many folders.
std::uint64_t ExtraFileBound(std::string_view role, std::size_t folders);

// Whether the file at path has exactly sum, read only when its size is the
// recorded one and that size is at most most.
bool ExtraFileHasSum(const std::string& path, const TResultFileSum& sum, std::uint64_t most);

// The extra files of a recorded set that are there as recorded (of same
// where the set's own are not found; same may be null): their sums as
// found, and in inMain the roles found under their own names (the others
// are the kept copies). folders: the set's folder count.
TExtraSums ExtrasThere(const TStoredSetFiles& files, const TResultSetSums& set,
                       const TResultSetSums* same, std::size_t folders,
                       std::set<std::string>& inMain);

// The extra lists of set, whose three lists are loaded (dirs its Dirs),
// into extras, found as above. Returns what the user should be told, empty
// when every one loaded as saved.
std::string LoadExtraFiles(const TStoredSetFiles& files, const TResultSetSums& set,
                           const TResultSetSums* same, const TStringList& dirs,
                           TExtraLists& extras);

// What the user is told when a set loads as it was before a save that was
// cut off.
std::string InterruptedSaveNotice(const TStoredSetFiles& files);
