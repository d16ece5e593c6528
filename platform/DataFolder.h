#pragma once
// The per-user folder that holds the result files, and the plain file access
// the result files need. Paths here are native paths, not drive forms.
#include <string>

// $XDG_DATA_HOME/cobaltquarry/ (by default ~/.local/share/cobaltquarry/),
// with a trailing "/", created with mode 0700 when missing. The empty string
// when it cannot be made or is not a folder; file names built on it are then
// relative to the current directory.
std::string DataFolder();

// True when path names a regular file whose modification time can be read
// (a present, readable directory entry; a folder does not count).
bool DataFileExists(const std::string& path);

// Reads the whole file into bytes; false (bytes empty) when it cannot be read.
bool ReadDataFile(const std::string& path, std::string& bytes);
