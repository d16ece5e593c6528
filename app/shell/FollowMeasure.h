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
// knownLinks holds, for files of several links, every native name of one
// file (as when copies were made hard links to a kept file): where they
// are all its links, the file counts exactly where a scan counts it, in
// the folder that sorts first among them, and in no other. Give every
// folder of such names among the folders.
TFollowPlan RelistFollowPlan(const std::vector<std::string>& nativeFolders,
                             const std::vector<std::vector<std::string>>& knownLinks = {});
