#pragma once
// A folder tree written in ncdu's JSON export format (major version 1, minor
// 2), so that ncdu, gdu or this program elsewhere can read the scan:
// every folder and item with its own sizes ("asize" the logical size,
// "dsize" the bytes allocated, "mtime" the last change), hard-linked files with "ino", "nlink" and
// "hlnkc", non-regular items "notreg", unreadable folders "read_error",
// folders the walk does not enter "excluded" ("kernfs" for a kernel file
// system such as proc or sysfs, "othfs" for any other). Names
// are written as their raw bytes, control bytes as \u00XX.
//
// The walk follows the same bounds as a scan (one file system, links never
// followed) but goes depth first and streams each item out as it is met:
// the memory it takes is one listing per open folder, whatever the size of
// the tree. With several threads, they list folders ahead of the one that
// writes, within a bounded window (see ParallelExport.h); the bytes written
// are the same.
#include <string>

#include "engine/ExportItemText.h"
#include "engine/ExportOutput.h"
#include "engine/ExportSettings.h"

// Writes the export into Out (not committed). False with a message when the
// root cannot be read, the walk was cancelled or it failed (memory running
// out on any of its threads).
bool ExportNcdu(const TExportSettings& settings, TExportOutput& out, std::string& error);
