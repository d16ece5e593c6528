#include "engine/DiscoverKind.h"

#include "engine/DiscoverSink.h"

namespace {

// The lines must read as Discover data whose files lie on the set's drive.
bool Fits(const TStringList& dirs, const TStringList& lines) {
    TDiscoverData data;
    std::string error;
    if (dirs.empty() || !TDiscoverData::FromLines(lines, data, error))
        return false;
    for (const TLargeFile& f : data.Largest)
        if (!PathIsBelow(f.Path, dirs[0].substr(0, 2)))
            return false;
    return true;
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
