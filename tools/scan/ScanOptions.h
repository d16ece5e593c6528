#pragma once
// The command line of cobaltquarry-scan.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/scan/FindOptions.h"

struct TScanOptions {
    int Top = 20;            // --top N: how many subfolders to list
    bool Json = false;       // --json: the report as JSON
    std::string OutDir;      // --out DIR: also write the three lists there
    bool Save = false;       // --save: store the results as the desktop program does
    bool DiskUsage = false;  // --disk-usage: allocated bytes instead of file sizes
    std::string PieFile;     // --pie FILE: draw the folder's pie into a PNG file
    std::string ExportFile;  // --export FILE: write the scan in ncdu's export format ("-": stdout)
    bool Zstd = false;       // --zstd: compress the export with zstd whatever its name
    std::string ImportFile;  // --import FILE: report on an export instead of scanning
    bool Changes = false;    // --changes: compare stored results with kept ones, no scan
    std::string Since;       // --since DATE|N: which kept results (default the newest)
    int Largest = 0;         // --largest N: list the N largest files (at most 1000)
    bool Types = false;      // --types: list the file types
    int TypeFiles = 0;    // --type-files N: with --types, each type's N largest files (at most 20)
    int Old = 0;          // --old N: list the N largest files unchanged for a year (at most 1000)
    bool Stored = false;  // --stored: --largest and --types from the stored results
    TFindOptions Find;    // --find PATTERN and what goes with it
    bool Duplicates = false;           // --duplicates: list the groups of files with the same bytes
    std::int64_t MinSize = 1;          // --min-size SIZE with --duplicates: leave smaller files out
    std::vector<std::string> Exclude;  // --exclude PATTERN and --exclude-from FILE, in order
    bool ExcludeCaches = false;        // --exclude-caches: skip folders tagged CACHEDIR.TAG
    std::string Path;                  // the folder to scan
    bool Help = false;                 // -h, --help: print the usage and do nothing else
    bool Version = false;              // --version: print the version and do nothing else

    // --treemap FILE: draw the folder's treemap into a PNG file, of --size WxH.
    std::string TreemapFile;
    int TreemapWidth = 800;
    int TreemapHeight = 600;
};

// Reads the arguments (without the program name). False with a message in
// Error for anything it does not understand. A help or version request
// needs no PATH and wins over any other argument, help over version; an
// import takes no PATH.
bool ParseScanOptions(const std::vector<std::string>& args, TScanOptions& options,
                      std::string& error);

// The help text: a synopsis and every option with its description.
std::string ScanUsage();
// "cobaltquarry-scan 1.2"
std::string ScanVersion();
