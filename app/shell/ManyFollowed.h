#pragma once
// An item command on many items at once, followed as one: every item is
// moved to the trash in turn and the steps of all of them make one plan,
// so the stored analysis takes one change and one save for them all.
#include <string>
#include <vector>

#include "app/shell/FollowedActions.h"

// Moves each item to the trash; one that fails is told in the result
// (every failure on a line of its own) and the others go on. The plan holds
// what was done, failures or not.
TFollowedAction TrashManyFollowed(const std::vector<std::string>& nativePaths);

// Commands done one by one (such as copies of duplicates moved to the
// trash as each was checked) as one: their plans' steps in turn, their
// failures each on a line of its own.
TFollowedAction JoinFollowed(const std::vector<TFollowedAction>& actions);
