#pragma once
// Small readings of the stored lists' texts that the rescan merge and the
// edits after item commands share: which entries are drive roots, the
// drive letter compared in either case, sizes added as a scan adds them,
// and the folder holding a path.
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/NumberText.h"

// A drive root ("C:") is the only stored path without a backslash.
inline bool IsStoredDriveRoot(std::string_view path) {
    return path.find('\\') == std::string_view::npos;
}

// Drive letters compare in either case; every other byte as it is.
inline char UpperDriveLetter(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Totals wrap past 2^63 like a scan's do, instead of overflowing.
inline std::int64_t WrapAddSizes(std::int64_t a, std::int64_t b) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) + static_cast<std::uint64_t>(b));
}

// A total that does not read as a number counts as nothing, as in a scan.
inline std::int64_t StoredSizeOf(std::string_view text) {
    std::int64_t value = 0;
    return TryTextToInt64(text, value) ? value : 0;
}

// The folder that holds a drive-form path: "C:\a" for "C:\a\b", the drive
// root "C:" for "C:\a"; a drive root is its own.
inline std::string DriveFormParent(std::string_view path) {
    return std::string(path.substr(0, path.rfind('\\')));
}
