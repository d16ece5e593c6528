#pragma once
// A scan read from an export file (plain or zstd), with what it takes to
// report on it and to browse it: the lists a scan makes, every folder and
// item, and the virtual drive that answers for them.
#include <atomic>
#include <memory>
#include <string>

#include "engine/ImportedDrive.h"
#include "engine/ImportedTree.h"
#include "engine/NcduImport.h"

struct TImportedScan {
    TNcduImport Result;
    std::shared_ptr<TImportedTree> Items;
    std::unique_ptr<TImportedDrive> Drive;
};

// Reads File with its root under Letter ("Z:" in the lists). Cancel, set
// from another thread, stops the read. Without KeepItems only the lists are
// made (no Items, no Drive): a report needs no more, and a million files'
// entries cost far more memory than the folders' lists. False with a
// message naming the file.
bool ReadImportedScan(const std::string& file, char letter, TImportedScan& scan, std::string& error,
                      const std::atomic<bool>* cancel = nullptr, bool keepItems = true);

// The same for an export arriving from Raw (plain or zstd), named Name in
// messages, with its progress in Progress when given.
bool ReadImportedStream(TByteSource& raw, const std::string& name, char letter, TImportedScan& scan,
                        std::string& error, const std::atomic<bool>* cancel,
                        TImportProgress* progress = nullptr);
