#include "engine/DiskSizeList.h"

#include <cstdint>

#include "engine/NumberText.h"
#include "engine/RescanMerge.h"

namespace {

bool Fits(const TStringList& dirs, const TStringList& lines) {
    if (lines.size() != dirs.size())
        return false;
    std::int64_t value = 0;
    for (std::string_view line : lines)
        if (!TryTextToInt64(line, value))
            return false;
    return true;
}

// The allocated bytes follow a rescan exactly as the sizes do: the same
// merge, run on a copy of the folders with these values in the sizes'
// place, inserts and removes the same entries and carries the change to
// the same ancestors. The shares it computes are not kept.
bool Merge(const TStringList& dirs, TStringList& stored, const TStringList& rescanDirs,
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
    return {std::string(kDiskSizesRole), Fits, Merge, nullptr};
}
