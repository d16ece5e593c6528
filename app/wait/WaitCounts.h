#pragma once

#include <cstdint>
#include <string>

// A snapshot of how far a running scan has come, shown on the progress
// window's live line.
struct TWaitCounts {
    std::int64_t Folders = 0;
    std::int64_t Files = 0;
    std::int64_t Bytes = 0;
    // False while nobody reports counts for the scan: only the time is shown.
    bool Known = true;
    // False when only the folders are counted.
    bool FilesKnown = true;
};

// The live line: "<folders> folders, <files> files" on the first line and
// "<bytes as text>, <elapsed m:ss>" on the second; with folders alone,
// "<folders> folders" and "Elapsed time <m:ss>"; without any counts,
// "Elapsed time <m:ss>". Numbers use "." as the
// decimal separator whatever the locale, like every number text here.
std::string WaitProgressText(const TWaitCounts& counts, std::int64_t elapsedMs);

// 0 B, 999 B, 1.0 KB, 12.3 MB, 4.5 GB, 1.2 TB (binary multiples).
std::string WaitBytesText(std::int64_t bytes);

// m:ss below an hour, h:mm:ss from there on.
std::string WaitElapsedText(std::int64_t elapsedMs);
