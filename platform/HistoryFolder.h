#pragma once
// The folder of kept scan results ("history/" inside the data folder) and
// the few file operations the history needs beyond those of the result
// files. Paths are native paths.
#include <cstdint>
#include <string>
#include <vector>

// dataFolder + "history/", created with mode 0700 when missing and made
// private when it is open to others: its files list every folder name of a
// drive, as the result files do. Empty, with the reason in problem, when it
// cannot be had (or dataFolder is empty).
std::string HistoryFolder(const std::string& dataFolder, std::string* problem = nullptr);

// dataFolder + "history/" for reading the kept sets: only when it is a
// folder of the user's own and not a link (as for writing); empty otherwise.
// Nothing is made or changed.
std::string ExistingHistoryFolder(const std::string& dataFolder);

// The names of the regular files in folder (no "." entries, no folders), in
// no particular order; empty when the folder cannot be read.
std::vector<std::string> DataFileNames(const std::string& folder);

// Removes one file; true when it is gone (also when it was never there).
bool RemoveDataFile(const std::string& path);

// The modification time of a file in seconds since 1970 (UTC); -1 when it
// cannot be read.
std::int64_t DataFileTime(const std::string& path);
