#pragma once
// What an export is told: the folder, the program's name for the header,
// where it reports its progress and watches for a cancel, and how many
// threads list folders ahead of the writer, within which window.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

class TExcludeRules;

struct TExportProgress {
    std::atomic<std::uint64_t> Folders{0}, Files{0}, Bytes{0};
};

// How far the threads that list folders may run ahead of the writer: the
// bound on the memory and descriptors an export takes beyond the folders
// the writer is inside.
struct TExportWindow {
    std::size_t Folders = 4096;                 // listed, waiting for the writer
    std::size_t Bytes = std::size_t{32} << 20;  // the text of those
    // Listed folders kept open so that their subfolders are opened by name
    // (past it by their whole path); with two descriptors per thread at
    // most this stays within the usual limit of 1024.
    int OpenFolders = 256;
};

struct TExportSettings {
    std::string NativeRoot;  // the folder to export
    std::string ProgName = "cobaltquarry-scan";
    std::string ProgVer;
    std::int64_t Timestamp = 0;                 // seconds since 1970
    TExportProgress* Progress = nullptr;        // optional
    const std::atomic<bool>* Cancel = nullptr;  // optional
    // Threads that list folders; 1 lists them on the writing thread.
    int Threads = 1;
    TExportWindow Window;  // with several threads
    // Optional: items these rules exclude are written as ncdu writes them,
    // with no sizes and "excluded":"pattern", and folders among them not
    // entered (the root is always entered).
    const TExcludeRules* Exclude = nullptr;
};
