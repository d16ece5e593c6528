#include "engine/ExtraRescan.h"

#include "engine/ExtraFileKinds.h"
#include "engine/RescanMerge.h"

void MergeRescanExtras(const TStringList& storedDirs, TExtraLists& stored,
                       const TStringList& rescanDirs, const TExtraLists& rescan) {
    for (auto it = stored.begin(); it != stored.end();) {
        const TExtraFileKind* kind = FindExtraFileKind(it->first);
        const auto theirs = rescan.find(it->first);
        const bool follows = kind != nullptr && kind->Merge && theirs != rescan.end() &&
                             kind->Merge(storedDirs, it->second, rescanDirs, theirs->second);
        it = follows ? std::next(it) : stored.erase(it);
    }
}

void AppendRescanWithExtras(TStringList& dirs, TStringList& sizes, TStringList& percents,
                            TExtraLists& extras, const TStringList& rescanDirs,
                            const TStringList& rescanSizes, const TStringList& rescanPercents,
                            const TExtraLists& rescanExtras) {
    MergeRescanExtras(dirs, extras, rescanDirs, rescanExtras);
    AppendRescan(dirs, sizes, percents, rescanDirs, rescanSizes, rescanPercents);
}

void AppendRescanWithExtras(TStoredSet& set, const TStoredSet& rescan) {
    AppendRescanWithExtras(set.Dirs, set.Sizes, set.Percents, set.Extras, rescan.Dirs, rescan.Sizes,
                           rescan.Percents, rescan.Extras);
}
