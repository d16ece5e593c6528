#pragma once
// The per-user folder that holds the result files, and the plain file access
// the result files need. Paths here are native paths, not drive forms.
#include <functional>
#include <string>
#include <string_view>

// $XDG_DATA_HOME/cobaltquarry/ (by default ~/.local/share/cobaltquarry/),
// with a trailing "/", created with mode 0700 when missing. The empty string
// when it cannot be made or is not a folder; file names built on it are then
// relative to the current directory.
std::string DataFolder();

// True when path names a regular file whose modification time can be read
// (a present, readable directory entry; a folder does not count).
bool DataFileExists(const std::string& path);

// The size of a file in bytes; 0 when it cannot be read.
std::size_t DataFileSize(const std::string& path);

// Reads the whole file into bytes; false (bytes empty) when it cannot be read.
bool ReadDataFile(const std::string& path, std::string& bytes);

// Reads the file piece by piece through one small buffer, handing each piece
// to take, so that a large file needs no memory of its size; false when it
// cannot be opened or a read fails.
bool ReadDataFileChunks(const std::string& path, const std::function<void(std::string_view)>& take);
