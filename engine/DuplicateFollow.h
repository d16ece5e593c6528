#pragma once
// A duplicate search's result after some of its copies were reclaimed, as
// a new search would find it: trashed names leave their copy (and a copy
// without names its group), a name replaced by a hard link joins the kept
// copy, a name replaced by a clone becomes a copy of its own (the clone's
// inode and times) in the kept copy's shared set; groups left with one copy
// leave the result. Names left alone stay as they were.
#include <vector>

#include "engine/DuplicateGroup.h"
#include "engine/DuplicateReclaim.h"

TDuplicateResult FollowReclaim(const TDuplicateResult& before, TReclaimAction action,
                               const std::vector<TReclaimStep>& steps,
                               const TReclaimReport& report);
