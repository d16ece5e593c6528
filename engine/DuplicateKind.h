#pragma once
// The extra file of the last duplicate search on a drive ("Duplicates",
// "CDuplicates" for drive C:), in the lines of DuplicateText.h. No walk
// makes it: the window stores it after a search, and the next drive scan's
// set, which does not have it, replaces it. The history does not keep it
// (KeepInHistory leaves it out). A folder rescan inside the searched folder
// marks it "as of" its time, as an item command there does
// (MarkDuplicatesAsOf).
#include <string>
#include <string_view>
#include <vector>

#include "engine/ExtraFileKind.h"

constexpr std::string_view kDuplicatesRole = "Duplicates";

TExtraFileKind DuplicateKind();

struct TStoredSet;
// Marks the set's duplicate result "as of" when one of the drive-form
// folders changed lies inside the searched folder.
void MarkDuplicatesAsOf(TStoredSet& set, const std::vector<std::string>& changedFolders);
