#pragma once
// Measures what an item command did, as its file-event log tells it, where
// the items are now: the plan by which the stored analysis follows the
// command (see engine/FollowPlan.h). A folder that appeared is walked as a
// scan walks it, so run this off the user-interface thread after a paste.
#include <string>
#include <vector>

#include "engine/FollowPlan.h"

namespace cq::desktop {
class TFileEventLog;
}

TFollowPlan MeasureFollowPlan(const cq::desktop::TFileEventLog& log);

// The plan after files inside these native folders were replaced in place
// (the same names, other inodes or link counts): each folder listed afresh.
TFollowPlan RelistFollowPlan(const std::vector<std::string>& nativeFolders);
