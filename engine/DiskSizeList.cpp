#include "engine/DiskSizeList.h"

#include <cstdint>
#include <string>

#include "engine/NumberText.h"
#include "engine/RescanMerge.h"

namespace {

// "9223372036854775807": a count of bytes is never longer, and the save
// writes none with a sign or leading zeros.
constexpr std::size_t kLongestValue = 19;

// Every line a count of bytes the disk can hold, one per folder of the
// set: a negative count would show as a negative share.
std::string DiskSizesFault(const TStringList& dirs, const TStringList& lines) {
    if (lines.size() != dirs.size())
        return "it has " + std::to_string(lines.size()) + " lines for the " +
               std::to_string(dirs.size()) + " folders of the set";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        std::int64_t value = 0;
        if (line.size() > kLongestValue || !TryTextToInt64(line, value))
            return "line " + std::to_string(i + 1) + " is not a whole number of bytes";
        if (value < 0)
            return "line " + std::to_string(i + 1) + " is negative";
    }
    return {};
}

std::uint64_t MaxDiskSizeBytes(std::size_t folders) {
    return static_cast<std::uint64_t>(folders) * (kLongestValue + 2);
}

// The allocated bytes follow a rescan exactly as the sizes do: the same
// merge, run on a copy of the folders with these values in the sizes'
// place, inserts and removes the same entries and carries the change to
// the same ancestors. The shares it computes are not kept.
bool MergeDiskSizes(const TStringList& dirs, TStringList& stored, const TStringList& rescanDirs,
                    const TStringList& rescan) {
    if (rescan.size() != rescanDirs.size() || stored.size() != dirs.size())
        return false;
    TStringList folders = dirs;
    TStringList shares(dirs.size(), "0");
    const TStringList rescanShares(rescanDirs.size(), "0");
    AppendRescan(folders, stored, shares, rescanDirs, rescan, rescanShares);
    return stored.size() == folders.size();
}

}  // namespace

bool LooksSparse(std::int64_t size, std::int64_t allocated) {
    return allocated < size / 2 && size - allocated >= (std::int64_t{1} << 20);
}

TExtraFileKind DiskSizeKind() {
    // Made by the walk itself, without a collector.
    return {std::string(kDiskSizesRole), DiskSizesFault, MaxDiskSizeBytes, MergeDiskSizes, nullptr};
}
