#pragma once
// Fills a treemap source from what the other views show: the current
// folder's children from the bar data (so the treemap and the bar list
// agree on every row, its colour included), the deeper levels from the
// store's lists of sizes shown (file sizes or, under Disk usage, allocated
// bytes) and its largest files.
#include <vector>

#include "engine/LargestFiles.h"

class TBarData;
class TResultStore;
class TShellListModel;
class TTreemapSource;

// The current folder of listing with its rows as bar holds them. A
// malformed stored size throws EConvertError.
void FeedTop(TTreemapSource& source, const TResultStore& store, const TShellListModel& listing,
             const TBarData& bar);

// The largest files stored with the global set; none when not known.
std::vector<TLargeFile> StoredLargestFiles(const TResultStore& store);
