#pragma once
// The small file saved last with a drive's three result files: for each of
// them (Percents, Dirs, DirSizes) its line count, byte count and checksum, for
// the set just saved and for the whole set kept from before it. Only files
// that match one of the two descriptions completely are ever loaded, so a
// save cut off between its renames can never be read as a mix of two saves.
// A set may also hold extra files (ExtraFileKind.h), each summed the same
// way on a line of its own; a manifest without them (of an earlier
// version) is as valid as one with them.
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

struct TResultFileSum {
    std::uint64_t Lines = 0;
    std::uint64_t Bytes = 0;
    std::uint64_t Checksum = 0;

    bool operator==(const TResultFileSum& other) const {
        return Lines == other.Lines && Bytes == other.Bytes && Checksum == other.Checksum;
    }
    bool operator!=(const TResultFileSum& other) const { return !(*this == other); }
};

// One saved set: its generation (counting the saves of the drive), its
// three files in the order Percents, Dirs, DirSizes, and its extra files by
// role.
struct TResultSetSums {
    std::uint64_t Generation = 0;
    std::array<TResultFileSum, 3> Files;
    std::map<std::string, TResultFileSum, std::less<>> Extras;

    bool SameFiles(const TResultSetSums& other) const { return Files == other.Files; }
};

struct TResultSetManifest {
    TResultSetSums Current;
    bool HasPrevious = false;
    TResultSetSums Previous;

    // The file's text: a first line naming the format, then one line per set
    // and file, "current Percents 5 40 0123456789abcdef", the extra files
    // after the three as "current extra DiskSizes 5 40 0123456789abcdef".
    std::string Text() const;
    // False for anything that is not a complete manifest of this format.
    static bool Parse(std::string_view text, TResultSetManifest& manifest);
};
