#pragma once
// cobaltquarry-scan --duplicates: the groups of files with the same bytes
// below PATH and the space they waste, as text or JSON. It only lists:
// nothing is changed from the command line.
#include <atomic>
#include <cstdint>
#include <iosfwd>
#include <string>

struct TDuplicateResult;

// Searches nativePath (progress on standard error when it is a terminal)
// and prints the report; the exit status (0, or TScanExit's kCancelled).
int RunDuplicateReport(const std::string& nativePath, std::int64_t minSize, bool json,
                       std::atomic<bool>& cancel, std::ostream& out, std::ostream& err);

// The report of a finished search.
void PrintDuplicatesText(const TDuplicateResult& result, std::ostream& out);
void PrintDuplicatesJson(const TDuplicateResult& result, std::ostream& out);
