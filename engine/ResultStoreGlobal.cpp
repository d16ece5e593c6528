// The global set and what the views derive from it: its replacements
// (queued behind a save of it that runs on another thread), the merge of a
// folder rescan, new or freed lists, and the sizes and shares the views
// show.
#include "engine/DirAggregate.h"
#include "engine/DirOrder.h"
#include "engine/DiskSizeList.h"
#include "engine/ExtraRescan.h"
#include "engine/ResultStore.h"

void TResultStore::Install(TStoredSet set) {
    global_ = std::move(set);
    ++generation_;
}

bool TResultStore::ReplaceGlobal(TStoredSet set, std::function<void()> applied) {
    if (detached_) {
        queued_.emplace_back(std::move(set), std::move(applied));
        return false;
    }
    Install(std::move(set));
    origin_.Valid = false;
    if (applied)
        applied();
    return true;
}

void TResultStore::DropReplacementCallbacks() {
    for (auto& queued : queued_)
        queued.second = nullptr;
}

void TResultStore::AppendAnalizeInfo(const TStoredSet& rescan) {
    BeforeChanging();
    if (GlobalSLSEmpty()) {
        return;
    }
    ++generation_;
    AppendRescanWithExtras(global_, rescan);
}

void TResultStore::LoadTree(TTreeLists& tree) const {
    tree.Percents = ShownPercents();
    tree.Dirs = global_.Dirs;
    tree.ShowBarCharts = true;
}

void TResultStore::CreateSLs() {
    BeforeChanging();
    unsaved_ = false;
    ++generation_;
    origin_.Valid = false;
    global_ = TStoredSet::Initial();
}

void TResultStore::FreeSLs() {
    BeforeChanging();
    unsaved_ = false;
    ++generation_;
    origin_.Valid = false;
    global_.Extras.clear();
    global_.Dirs.clear();
    global_.Sizes.clear();
    global_.Percents.clear();
}

bool TResultStore::DiskUsageKnown() const {
    const auto it = global_.Extras.find(kDiskSizesRole);
    return it != global_.Extras.end() && it->second.size() == global_.Dirs.size();
}

void TResultStore::MakeDiskPercents() const {
    if (diskGeneration_ == generation_ && diskLength_ == global_.Dirs.size()) {
        return;
    }
    diskGeneration_ = generation_;
    diskLength_ = global_.Dirs.size();
    diskPercents_ = TStringList(global_.Dirs.size(), "0");
    unknownSizes_ = TStringList(global_.Dirs.size(), "0");
    if (!DiskUsageKnown()) {
        return;
    }
    TDirIndex index;
    BuildDirIndex(global_.Dirs, index);
    ComputePercents(global_.Dirs, global_.Extras.find(kDiskSizesRole)->second, diskPercents_,
                    index);
}

const TStringList& TResultStore::ShownSizes() const {
    if (!DiskUsage) {
        return global_.Sizes;
    }
    if (DiskUsageKnown()) {
        return global_.Extras.find(kDiskSizesRole)->second;
    }
    MakeDiskPercents();
    return unknownSizes_;
}

const TStringList& TResultStore::ShownPercents() const {
    if (!DiskUsage) {
        return global_.Percents;
    }
    MakeDiskPercents();
    return diskPercents_;
}
