#include "engine/FolderListEdit.h"

#include <algorithm>

#include "engine/NumberText.h"
#include "engine/StoredListText.h"

TFolderListEdit::TFolderListEdit(TStringList& dirs, TStringList& sizes, TStringList& percents,
                                 TStringList* allocated)
    : TSortedFolderLists(dirs, sizes, percents) {
    usable_ = sizes_.size() == dirs_.size() && percents_.size() == dirs_.size() && InScanOrder();
    if (allocated != nullptr && allocated->size() == dirs_.size()) {
        allocated_ = allocated;
        KeepParallel(*allocated);
    }
}

bool TFolderListEdit::HoldsDriveOf(std::string_view path) const {
    return !OnDrive(path).empty();
}

// The path with the letter the lists store for its drive; empty when the
// lists do not hold that drive.
std::string TFolderListEdit::OnDrive(std::string_view path) const {
    if (!usable_ || path.size() < 2 || path[1] != ':')
        return {};
    for (std::size_t i = 0; i < roots_; ++i) {
        const std::string_view root = dirs_[i];
        if (root.size() == 2 && root[1] == ':' &&
            UpperDriveLetter(root[0]) == UpperDriveLetter(path[0])) {
            std::string onDrive(path);
            onDrive[0] = root[0];
            return onDrive;
        }
    }
    return {};
}

// Every folder above path that is not stored is stored empty.
void TFolderListEdit::MakeAncestors(const std::string& path) {
    std::vector<std::string> missing;
    for (std::string folder = DriveFormParent(path); !IsStoredDriveRoot(folder);
         folder = DriveFormParent(folder)) {
        if (Find(folder) != npos)
            break;
        missing.push_back(folder);
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it)
        Insert(*it, "0", "0");
}

namespace {

// A total with bytes added; never below zero, so that lists that were not
// whole (a total smaller than a part of it) cannot turn negative either.
std::string Added(std::string_view total, std::int64_t bytes) {
    return Int64ToText(std::max<std::int64_t>(0, WrapAddSizes(StoredSizeOf(total), bytes)));
}

}  // namespace

bool TFolderListEdit::ChainStaysWhole(const std::string& folder, std::int64_t bytes,
                                      std::int64_t allocated) const {
    for (std::string at = folder;; at = DriveFormParent(at)) {
        const std::size_t i = Find(at);
        if (i != npos && (StoredSizeOf(sizes_[i]) + bytes < 0 ||
                          (allocated_ && StoredSizeOf((*allocated_)[i]) + allocated < 0)))
            return false;
        if (IsStoredDriveRoot(at))
            return true;
    }
}

void TFolderListEdit::AddToChain(const std::string& folder, std::int64_t bytes,
                                 std::int64_t allocated) {
    for (std::string at = folder;; at = DriveFormParent(at)) {
        const std::size_t i = Find(at);
        if (i != npos) {
            sizes_.Set(i, Added(sizes_[i], bytes));
            if (allocated_)
                allocated_->Set(i, Added((*allocated_)[i], allocated));
            changed_.insert(at);
        }
        if (IsStoredDriveRoot(at))
            break;
    }
}

TFolderRun TFolderListEdit::TakeFolder(std::string_view path) {
    TFolderRun run;
    const std::string folder = OnDrive(path);
    const std::size_t at = folder.empty() || IsStoredDriveRoot(folder) ? npos : Find(folder);
    if (at == npos)
        return run;
    FinishBelow(folder);
    std::size_t lo, hi;
    RunBelow(folder, lo, hi);
    run.Tails.push_back("");
    run.Sizes.push_back(sizes_[at]);
    run.Percents.push_back(percents_[at]);
    if (allocated_)
        run.Allocated.push_back((*allocated_)[at]);
    for (std::size_t k = lo; k < hi; ++k) {
        run.Tails.push_back(dirs_[k].substr(folder.size()));
        run.Sizes.push_back(sizes_[k]);
        run.Percents.push_back(percents_[k]);
        if (allocated_)
            run.Allocated.push_back((*allocated_)[k]);
    }
    Remove(lo, hi);
    Remove(at, at + 1);
    AddToChain(DriveFormParent(folder), -StoredSizeOf(run.Sizes[0]),
               run.Allocated.empty() ? 0 : -StoredSizeOf(run.Allocated[0]));
    return run;
}

void TFolderListEdit::PutFolder(std::string_view path, const TFolderRun& run) {
    const std::string folder = OnDrive(path);
    if (folder.empty() || IsStoredDriveRoot(folder) || run.Empty())
        return;
    if (Find(folder) != npos)
        TakeFolder(folder);
    const bool withAllocated = run.Allocated.size() == run.Tails.size();
    if (!withAllocated)
        allocatedTrue_ = false;
    MakeAncestors(folder);
    Insert(folder, run.Sizes[0], run.Percents[0]);
    const std::size_t below = run.Tails.size() - 1;
    const std::size_t lo = Bound(folder + '\\');
    for (TStringList* list : {&dirs_, &sizes_, &percents_})
        list->Splice(lo, lo, below);
    if (allocated_)
        allocated_->Splice(lo, lo, below);
    for (std::size_t k = 0; k < below; ++k) {
        dirs_.Set(lo + k, folder + std::string(run.Tails[k + 1]));
        sizes_.Set(lo + k, run.Sizes[k + 1]);
        percents_.Set(lo + k, run.Percents[k + 1]);
        if (allocated_)
            allocated_->Set(lo + k, withAllocated ? run.Allocated[k + 1] : "0");
    }
    const std::int64_t allocated = withAllocated ? StoredSizeOf(run.Allocated[0]) : 0;
    if (allocated_)
        allocated_->Set(Find(folder), Int64ToText(allocated));
    AddToChain(DriveFormParent(folder), StoredSizeOf(run.Sizes[0]), allocated);
}

bool TFolderListEdit::AddBytes(std::string_view folder, std::int64_t bytes,
                               std::int64_t allocated) {
    const std::string at = OnDrive(folder);
    if (at.empty())
        return true;
    if (!ChainStaysWhole(at, bytes, allocated))
        return false;
    if (bytes > 0 || allocated > 0)
        MakeFolder(at);
    AddToChain(at, bytes, allocated);
    return true;
}

bool TFolderListEdit::OwnBytes(std::string_view folder, std::int64_t& bytes,
                               std::int64_t& allocated) const {
    const std::string at = OnDrive(folder);
    const std::size_t i = at.empty() ? npos : Find(at);
    if (i == npos)
        return false;
    bytes = StoredSizeOf(sizes_[i]) - ChildrenSum(at, sizes_);
    allocated = allocated_ ? StoredSizeOf((*allocated_)[i]) - ChildrenSum(at, *allocated_) : 0;
    return true;
}

void TFolderListEdit::MakeFolder(std::string_view path) {
    const std::string folder = OnDrive(path);
    if (folder.empty() || Find(folder) != npos)
        return;
    MakeAncestors(folder);
    Insert(folder, "0", "0");
}

// The shares due in the folder and below it are written before it leaves:
// its run carries them along, and the paths they are due under are gone.
void TFolderListEdit::FinishBelow(const std::string& folder) {
    if (changed_.erase(folder) != 0)
        RecomputeShares(folder);
    const std::string below = folder + '\\';
    for (auto it = changed_.lower_bound(below); it != changed_.end() && it->rfind(below, 0) == 0;
         it = changed_.erase(it))
        RecomputeShares(*it);
}

void TFolderListEdit::Finish() {
    for (const std::string& folder : changed_)
        RecomputeShares(folder);
    changed_.clear();
}

TFolderRun TFolderListEdit::RunOfScan(const TStringList& dirs, const TStringList& sizes,
                                      const TStringList& percents) {
    TFolderRun run;
    if (dirs.empty() || sizes.size() != dirs.size() || percents.size() != dirs.size())
        return run;
    const std::size_t prefix = dirs[0].size();
    for (std::size_t k = 0; k < dirs.size(); ++k) {
        run.Tails.push_back(dirs[k].substr(std::min(prefix, dirs[k].size())));
        run.Sizes.push_back(sizes[k]);
        run.Percents.push_back(percents[k]);
    }
    return run;
}

TFolderRun TFolderListEdit::RunOfScan(const TStringList& dirs, const TStringList& sizes,
                                      const TStringList& percents, const TStringList& allocated) {
    TFolderRun run = RunOfScan(dirs, sizes, percents);
    if (!run.Empty() && allocated.size() == dirs.size())
        run.Allocated = allocated;
    return run;
}
