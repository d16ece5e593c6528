#pragma once
// What cobaltquarry-scan prints: the scanned folder's total, the number of
// folders, the time taken and its largest subfolders. Sizes and shares use
// the program's own number texts ("3.0 GB" or "512.0 MB" for the total,
// "1.5" MB for each subfolder, "12.5" %).
#include <atomic>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/SpaceFacts.h"
#include "engine/StringList.h"
#include "tools/scan/DiscoverReport.h"

struct TScanSubfolder {
    std::string Name;  // raw bytes of the native name
    std::int64_t Bytes = 0;
    std::int64_t Allocated = -1;  // bytes on the disk; -1 when not known
    double Share = 0;             // percent of the scanned folder's total (as shown)
};

struct TScanReport {
    std::string NativePath;
    std::string DriveForm;
    std::int64_t TotalBytes = 0;
    std::size_t Folders = 0;
    double Seconds = 0;
    std::vector<TScanSubfolder> Largest;  // largest first
    TDiscoverReport Discover;             // --largest and --types
    // The allocated bytes (-1: not known); with DiskUsage they are what the
    // report shows, orders and shares by.
    std::int64_t TotalAllocated = -1;
    bool DiskUsage = false;
    // Where the space would come back from; only from a scan here.
    std::optional<TSpaceFacts> Space;
};

// The report of sorted, aggregated lists whose first entry is the scanned
// folder: its direct subfolders, the Top largest of them.
// With disk (allocated bytes parallel to dirs) both sizes are known; with
// diskUsage as well, the largest are those taking most of the disk.
TScanReport MakeScanReport(const TStringList& dirs, const TStringList& sizes, int top,
                           const TStringList* disk = nullptr, bool diskUsage = false);

// A total in the unit that suits it: "512.3 MB" below 1 GB (1024^3 bytes),
// "3.0 GB" from there on, one decimal each, in the program's number texts.
std::string TotalSizeText(std::int64_t bytes);

// Seconds with two decimals and a point whatever the locale: "0.25".
std::string SecondsText(double seconds);

// The report as text; every path and name through VisibleName.
void PrintScanText(const TScanReport& report, std::ostream& out);
void PrintScanJson(const TScanReport& report, std::ostream& out);

// Writes lists as result files, each (path, lines): each line followed by
// CR LF. The files are written and flushed at once and renamed only when
// all are on the disk. False when any cannot be written; then none
// replaces its file.
bool WriteListFiles(const std::vector<std::pair<std::string, const TStringList*>>& files);

// The counts a progress line shows: folders and files walked, their bytes.
struct TWalkedCounts {
    std::uint64_t Folders = 0, Files = 0, Bytes = 0;
};
// Shows "<Verb>: N folders, N files, size, seconds" on standard error, a
// few times a second, until Done is set; then clears the line.
void ShowProgressLine(const char* verb, const std::function<TWalkedCounts()>& counts,
                      const std::atomic<bool>& done);
