#pragma once
// The drive form of a path: "X:" + "\" + the path below the drive's mount
// point with "/" written as "\"; the drive root is "X:" in result lists and
// "X:\" as a listing root. Name bytes are kept as they are except the four
// that a line-based, backslash-separated text cannot hold: "\" CR LF and the
// escape byte "%" itself, written %5C %0D %0A %25. The mapping is exact both
// ways.
#include <optional>
#include <string>
#include <string_view>

class TDriveTable;

// The value of one hexadecimal digit of a percent escape, either case; -1
// for any other byte.
inline int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// One native name (raw bytes) as it appears in a drive-form path.
std::string EscapeName(std::string_view rawName);
// Back to raw bytes. A "%" not followed by one of the four codes (either
// hex case) is kept as a literal "%".
std::string UnescapeName(std::string_view escapedName);

// "/home/a b" -> "D:\a b" when /home is drive D:; the mount point itself
// gives "D:". nullopt for a relative path, a path with a ".." component, or
// a path on no drive. Uses the current drive table unless one is given.
std::optional<std::string> NativeToDriveForm(std::string_view nativePath);
std::optional<std::string> NativeToDriveForm(std::string_view nativePath, const TDriveTable& table);

// "X:", "X:\", "X:\a\b" or "X:\a\b\" (letter in either case) -> native path.
// nullopt for an unknown letter or a text that is not a drive form, and for
// names that could step outside the drive: empty, ".", "..", or holding "/"
// or a NUL byte.
std::optional<std::string> DriveFormToNative(std::string_view driveForm);
std::optional<std::string> DriveFormToNative(std::string_view driveForm, const TDriveTable& table);

// The upper-case drive letter of a drive-form text, or 0 when it has none.
char DriveLetterOf(std::string_view driveForm);
