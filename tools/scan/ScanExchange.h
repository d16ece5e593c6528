#pragma once
// The scanner's side of scans exchanged in ncdu's export format: writing an
// export of a folder, and reading one (from ncdu, gdu or this program on
// another machine) to report on it as on a scan made here.
#include <atomic>
#include <memory>
#include <ostream>
#include <string>

#include "engine/ExcludeRules.h"
#include "engine/ImportedScan.h"

// Writes the export of the native folder Native to File ("-": standard
// output; zstd when File ends in ".zst" or with Compress), showing progress
// on a terminal. False with a message; also when Cancel (optional) is set,
// and then nothing is left of File.
bool ExportScan(const std::string& native, const std::string& file, bool compress,
                std::string& error, const std::atomic<bool>* cancel = nullptr,
                const TExcludeRules* exclude = nullptr);

// Reads an export for a report: its root is the drive "Z:" of no machine
// (with KeepItems, the lookups and listings of its folders come from the
// export while the scan's Drive is installed). False with a message.
bool ImportScan(const std::string& file, bool keepItems, TImportedScan& scan, double& seconds,
                std::string& error);

// The letter an imported scan's root is listed under.
constexpr char kImportLetter = 'Z';
