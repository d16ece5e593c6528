#pragma once
// Taking drive-form paths (C:\Program files) apart for display and navigation.
#include <cstdint>
#include <string>
#include <string_view>

// The text after the last backslash (the whole text when there is none), its
// first character upper-cased when it is a letter a to z:
// "C:\program files" gives "Program files", "C:" gives "C:".
std::string RemoveParentDir(std::string_view path);

// The parent of a drive-form path: the text before its last backslash, or
// before its first ":" when it has no backslash. "C:\\Windows\\Fonts" gives
// "C:\\Windows", "C:\\" gives "C:", "C:" gives "C". The path's own text decides,
// also for a link, a file or a folder that has gone: the working directory
// is never consulted, since it has nothing to do with where the user is.
std::string GetParentDir(std::string_view path);

// The size in bytes of the file at a drive-form path, as the folder listing
// reports it (a link's own size, 0 for a folder); 0 when nothing is there.
std::int64_t FileSize(std::string_view path);
