#include "engine/DiscoverKind.h"

#include <algorithm>

#include "engine/DiscoverLineCheck.h"
#include "engine/DiscoverSink.h"

namespace {

// The lines must read as Discover data whose files lie on the set's drive.
std::string Fault(const TStringList& dirs, const TStringList& lines) {
    TDiscoverData data;
    std::string error;
    if (dirs.empty())
        return "the set has no folders";
    if (!TDiscoverData::FromLines(lines, data, error))
        return error;
    for (std::size_t i = 0; i < data.Largest.size(); ++i)
        if (!PathIsBelow(data.Largest[i].Path, dirs[0].substr(0, 2)))
            return "line " + std::to_string(i + 3) + ": a file on another drive";
    const std::string_view drive = std::string_view(dirs[0]).substr(0, 2);
    auto onDrive = [drive](const std::vector<TLargeFile>& files) {
        return std::all_of(files.begin(), files.end(),
                           [drive](const TLargeFile& f) { return PathIsBelow(f.Path, drive); });
    };
    bool fits = onDrive(data.Old.Files);
    for (const auto& [ext, list] : data.TypeFiles)
        fits = fits && onDrive(list.Files);
    return fits ? std::string() : "a listed file on another drive";
}

std::uint64_t MaxBytes(std::size_t) {
    return kMostDiscoverBytes;
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
    return {std::string(kDiscoverRole), Fault, MaxBytes, Merge, &TDiscoverSink::Make};
}
