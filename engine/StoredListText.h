#pragma once
// Small readings of the stored lists' texts that the rescan merge, the
// edits after item commands and the window's scan and change views share:
// which entries are drive roots, which drive the lists hold, sizes added as
// a scan adds them, and the folder holding a path.
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/NumberText.h"
#include "engine/StringList.h"
#include "platform/DriveForm.h"
#include "platform/DriveLetter.h"

// A drive root ("C:") is the only stored path without a backslash.
inline bool IsStoredDriveRoot(std::string_view path) {
    return path.find('\\') == std::string_view::npos;
}

// The drive whose analysis the lists hold, as an upper-case letter: their
// first entry is then that drive's root ("C:"), which sorts before every
// other path of the drive. 0 for lists of no drive: empty, or starting
// with a folder's path (the scan of one folder).
inline char ListsDriveLetter(const TStringList& dirs) {
    return !dirs.empty() && dirs[0].size() == 2 ? DriveLetterOf(dirs[0]) : 0;
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
