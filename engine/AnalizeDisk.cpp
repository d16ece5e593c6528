#include "engine/AnalizeDisk.h"

#include <algorithm>

#include "engine/DirAggregate.h"
#include "engine/DirOrder.h"
#include "engine/DiskSizeList.h"
#include "engine/ExcludeKind.h"
#include "engine/ExtraFileKinds.h"
#include "engine/FolderTree.h"
#include "engine/TreeWalk.h"
#include "engine/WalkThreads.h"
#include "platform/DriveForm.h"

TAnalizeDisk::TAnalizeDisk() : MakeFileSink(ExtraKindSinks()) {}

TExtraLists TAnalizeDisk::TakeExtras() {
    TExtraLists extras;
    if (Cancel.load())
        return extras;
    if (!dirs_.empty() && diskSizes_.size() == dirs_.size())
        extras.emplace(std::string(kDiskSizesRole), std::move(diskSizes_));
    diskSizes_.clear();
    if (fileSink_)
        fileSink_->AddExtraLists(extras);
    // The rules the lists were made with go with them (no file without).
    if (!Exclude.Empty())
        extras.emplace(std::string(kExcludeRole), ExcludeLines(Exclude));
    return extras;
}

std::vector<std::string> TAnalizeDisk::FilterParts(const std::string& filter) {
    std::vector<std::string> parts;
    size_t pos = 0;
    while (pos < filter.size()) {
        size_t end = filter.find(';', pos);
        if (end == std::string::npos)
            end = filter.size();
        std::string part = filter.substr(pos, end - pos);
        const size_t a = part.find_first_not_of(" \t");
        const size_t b = part.find_last_not_of(" \t");
        part = a == std::string::npos ? std::string() : part.substr(a, b - a + 1);
        if (!part.empty())
            parts.push_back(part);
        pos = end + 1;
    }
    return parts;
}

std::uint32_t TAnalizeDisk::MaskOf(const TAttrOptions& options) {
    static const std::uint32_t kBits[] = {0x01, 0x02, 0x04, 0x08, 0x10};
    std::uint32_t mask = 0;
    for (TAttrOption o : options)
        mask |= kBits[o];
    return mask;
}

void TAnalizeDisk::Execute() {
    abort_ = false;
    mask_ = MaskOf(Attributes);
    percents_.clear();
    dirs_.clear();
    dirSizes_.clear();
    diskSizes_.clear();
    fileSink_.reset();
    walkedSorted_ = false;
    walked_.Reset();
    if (BeforeExecute)
        BeforeExecute(this);
    if (!Directory.empty())
        Walk();
    if (!Cancel.load())
        SortAndIndex();
    TDirIndex index;
    index.First = first_;
    index.Last = last_;
    // After a cancel the lists are incomplete and will be discarded: the
    // later steps stop rather than spend time on them. Lists read off the
    // tree already hold the totals and shares.
    if (walkedSorted_)
        WidenRootKey(index);
    else if (!Cancel.load())
        Aggregate(index);
    first_ = index.First;
    last_ = index.Last;
    if (AfterExecute)
        AfterExecute(this);
}

void TAnalizeDisk::Walk() {
    TWalkSettings s;
    s.Directory = Directory;
    s.Patterns = FilterParts(Filter);
    s.Mask = mask_;
    s.StrictRO = StrictRO;
    s.Recurse = Recurse;
    s.Sorted = Sorted;
    s.Cancel = &Cancel;
    s.Progress = &walked_;
    s.Exclude = &Exclude;
    walked_.Listed = OnFolderListed;
    if (OnNewPath)
        s.OnNewPath = [this](const std::string& path, bool& abort) {
            OnNewPath(this, path, abort);
        };
    s.MakeSink = MakeFileSink;
    s.MergedSink = &fileSink_;
    if (!ParallelWalk)
        s.Threads = 1;
    else if (WalkThreads > 0)
        s.Threads = WalkThreads;
    else {
        s.Threads = WalkThreadsFor(DriveFormToNative(Directory).value_or(std::string()));
        s.WarmThreads = WarmWalkThreads(s.Threads);
    }

    TFolderTree tree;
    WalkFolders(s, tree, abort_);
    // With one filter part every path is unique, so the sorted order is the
    // only one and can be read off the tree; otherwise the lists are made in
    // walk order and sorted as they stand.
    if (tree.Parts == 1 && !Cancel.load()) {
        TDirIndex index;
        walkedSorted_ =
            tree.EmitSorted(dirs_, dirSizes_, percents_, Cancel, true, &index, &diskSizes_);
        if (walkedSorted_) {
            first_ = index.First;
            last_ = index.Last;
            return;
        }
        dirs_.clear();
        dirSizes_.clear();
        percents_.clear();
        diskSizes_.clear();
    }
    tree.EmitInOrder(tree.WalkOrder, dirs_, dirSizes_, percents_, &diskSizes_);
}

void TAnalizeDisk::Aggregate(TDirIndex& index) {
    // The allocated bytes are totalled over the same folders; the index is
    // widened the same way by both, so the second one works on a copy.
    TDirIndex diskIndex = index;
    if (!AggregateSizesAndPercents(dirs_, dirSizes_, percents_, index, Cancel))
        return;
    if (diskSizes_.size() == dirs_.size())
        AggregateSizes(dirs_, diskSizes_, diskIndex, Cancel);
    else
        diskSizes_.clear();
}

void TAnalizeDisk::WidenRootKey(TDirIndex& index) const {
    // The aggregation compares a drive root with the whole list and leaves
    // key 0 spanning it; lists that skip it keep the same index.
    const bool driveRoot = !dirs_.empty() && dirs_.front().find('\\') == std::string::npos;
    if (driveRoot) {
        index.First[0] = 0;
        index.Last[0] = static_cast<std::int64_t>(dirs_.size()) - 1;
    }
}

void TAnalizeDisk::SortAndIndex() {
    if (walkedSorted_)
        return;  // indexed as the lists were made
    if (!SortDirLists(dirs_, dirSizes_, percents_, Cancel,
                      diskSizes_.size() == dirs_.size() ? &diskSizes_ : nullptr))
        return;
    TDirIndex index;
    BuildDirIndex(dirs_, index);
    first_ = index.First;
    last_ = index.Last;
}
