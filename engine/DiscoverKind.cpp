#include "engine/DiscoverKind.h"

#include <algorithm>

#include "engine/DiscoverSink.h"

namespace {

// The lines must read as Discover data whose files lie on the set's drive.
bool Fits(const TStringList& dirs, const TStringList& lines) {
    TDiscoverData data;
    std::string error;
    if (dirs.empty() || !TDiscoverData::FromLines(lines, data, error))
        return false;
    const std::string_view drive = std::string_view(dirs[0]).substr(0, 2);
    auto onDrive = [drive](const std::vector<TLargeFile>& files) {
        return std::all_of(files.begin(), files.end(),
                           [drive](const TLargeFile& f) { return PathIsBelow(f.Path, drive); });
    };
    bool fits = onDrive(data.Largest) && onDrive(data.Old.Files);
    for (const auto& [ext, list] : data.TypeFiles)
        fits = fits && onDrive(list.Files);
    return fits;
}

bool Merge(const TStringList& dirs, TStringList& stored, const TStringList& rescanDirs,
           const TStringList& rescan) {
    (void)dirs;
    TDiscoverData before, inside;
    std::string error;
    if (rescanDirs.empty() || !TDiscoverData::FromLines(stored, before, error) ||
        !TDiscoverData::FromLines(rescan, inside, error))
        return false;
    before.MergeRescan(rescanDirs[0], inside);
    stored = before.Lines();
    return true;
}

}  // namespace

TExtraFileKind DiscoverKind() {
    return {std::string(kDiscoverRole), Fits, Merge, &TDiscoverSink::Make};
}
