#pragma once
// Every kind of extra per-drive file the store knows (see ExtraFileKind.h):
// the one list the store saves, loads, keeps and merges, the collectors
// every scan runs for them, and the rule for a role's name.
#include <string_view>
#include <vector>

#include "engine/ExtraFileKind.h"

// Every kind, in the order their files are saved.
const std::vector<TExtraFileKind>& ExtraFileKinds();
// The kind of a role; nullptr for none.
const TExtraFileKind* FindExtraFileKind(std::string_view role);
// One maker of sinks for the collectors of every kind that has one; none
// when no kind has.
TFileSinkMaker ExtraKindSinks();
// Whether a role can name a file: letters only, not empty.
bool IsExtraRoleName(std::string_view role);
