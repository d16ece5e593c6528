#pragma once
// The scanner's side of scans exchanged in ncdu's export format: writing an
// export of a folder, and reading one (from ncdu, gdu or this program on
// another machine) to report on it as on a scan made here.
#include <memory>
#include <ostream>
#include <string>

#include "engine/ImportedDrive.h"
#include "engine/ImportedTree.h"
#include "engine/NcduImport.h"

// Writes the export of the native folder Native to File (zstd when File
// ends in ".zst"), showing progress on a terminal. False with a message.
bool ExportScan(const std::string& native, const std::string& file, std::string& error);

// A scan read from an export. Its root is the drive "Z:" of no machine: the
// lookups and listings of its folders come from the export while Drive is
// installed.
struct TImportedScan {
    TNcduImport Result;
    std::shared_ptr<TImportedTree> Items;
    std::unique_ptr<TImportedDrive> Drive;
    double Seconds = 0;
};
bool ImportScan(const std::string& file, TImportedScan& scan, std::string& error);

// The letter an imported scan's root is listed under.
constexpr char kImportLetter = 'Z';
