#pragma once
// cobaltquarry-scan --changes: compares a folder's stored results with a
// kept set of its drive's earlier results, without scanning anything.
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "engine/ScanHistory.h"

struct TChangesRequest {
    std::string Path;   // the folder, native or drive form
    std::string Since;  // "" or "1": the newest kept set; "N": the Nth newest;
                        // a date: the newest set saved on or before it
    int Top = 20;       // how many growths and how many shrinkages
    bool Json = false;
};

// Where --since points in a drive's kept sets (newest first): the position
// of the set to compare with, or -1 with the reason in error. A date is
// YYYY-MM-DD (up to the end of that day) or YYYY-MM-DDTHH:MM[:SS] (a space
// instead of the T, a trailing Z), always in UTC.
int ChooseKeptSet(const std::vector<THistoryEntry>& entries, const std::string& since,
                  std::string& error);

// Prints the report; messages (a damaged kept set that was skipped, why
// nothing can be compared) go to err. Returns the exit status: 0, or
// TScanExit::kBadUsage when anything it needs is missing or unusable.
int RunScanChanges(const TChangesRequest& request, std::ostream& out, std::ostream& err);
