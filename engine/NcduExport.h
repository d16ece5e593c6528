#pragma once
// A folder tree written in ncdu's JSON export format (major version 1, minor
// 2), so that ncdu, gdu or this program elsewhere can read the scan:
// every folder and item with its own sizes ("asize" the logical size,
// "dsize" the bytes allocated, "mtime" the last change), hard-linked files with "ino", "nlink" and
// "hlnkc", non-regular items "notreg", unreadable folders "read_error",
// folders the walk does not enter (other file systems) "excluded". Names
// are written as their raw bytes, control bytes as \u00XX.
//
// The walk follows the same bounds as a scan (one file system, links never
// followed) but goes depth first and streams each item out as it is met:
// the memory it takes is one listing per open folder, whatever the size of
// the tree. With several threads, they list folders ahead of the one that
// writes, within a bounded window (see ParallelExport.h); the bytes written
// are the same.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/ExportOutput.h"

struct TDirEntry;

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
};

// Writes the export into Out (not committed). False with a message when the
// root cannot be read or the walk was cancelled.
bool ExportNcdu(const TExportSettings& settings, TExportOutput& out, std::string& error);

// A name as a JSON string of the export: raw bytes, with '"', '\' and the
// control bytes escaped.
void AppendExportString(std::string& out, std::string_view name);

// The object of one entry; "dev" is written when the entry's device is not
// ParentDevice. Flag is appended inside the object as it is.
void AppendExportItem(std::string& out, const TDirEntry& entry, std::uint64_t parentDevice,
                      const char* flag = nullptr);
