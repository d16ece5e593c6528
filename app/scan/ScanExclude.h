#pragma once
// The exclude rules a scan started in the window walks with: a drive scan
// takes the drive's rules as the user keeps them (ExcludeSettings.h), a
// folder rescan those its stored set was made with, so that the rescanned
// folder is counted as the rest of the set was.
#include <string>

#include "engine/ExcludeRules.h"
#include "engine/ExtraLists.h"

// Path is the scan's drive-form path ("C:\", "C:\Data").
TExcludeRules ScanExcludeRules(const TExtraLists& storedExtras, const std::string& path,
                               bool folderRescan);
// The rules a stored set's extra lists say it was made with (none when it
// holds none or they cannot be read).
TExcludeRules StoredExcludeRules(const TExtraLists& storedExtras);
