#include "engine/SortedFolderLists.h"

#include <algorithm>
#include <string>

#include "engine/NumberText.h"
#include "engine/StoredListText.h"

namespace {

bool SortsBefore(std::string_view entry, std::string_view wanted) {
    return entry < wanted;
}

}  // namespace

TSortedFolderLists::TSortedFolderLists(TStringList& dirs, TStringList& sizes, TStringList& percents)
    : dirs_(dirs), sizes_(sizes), percents_(percents) {
    while (roots_ < dirs_.size() && IsStoredDriveRoot(dirs_[roots_]))
        ++roots_;
}

bool TSortedFolderLists::InScanOrder() const {
    for (std::size_t i = roots_; i < dirs_.size(); ++i) {
        if (IsStoredDriveRoot(dirs_[i]))
            return false;
        if (i > roots_ && !(dirs_[i - 1] < dirs_[i]))
            return false;
    }
    return true;
}

std::size_t TSortedFolderLists::Bound(std::string_view key, std::size_t from) const {
    const auto first = dirs_.begin() + static_cast<std::ptrdiff_t>(std::max(from, roots_));
    return static_cast<std::size_t>(std::lower_bound(first, dirs_.end(), key, SortsBefore) -
                                    dirs_.begin());
}

std::size_t TSortedFolderLists::BoundNear(std::string_view key, std::size_t from,
                                          std::size_t to) const {
    std::size_t step = 1;
    std::size_t lo = from;
    while (lo + step < to && dirs_[lo + step] < key) {
        lo += step;
        step *= 2;
    }
    const auto first = dirs_.begin() + static_cast<std::ptrdiff_t>(lo);
    const auto last = dirs_.begin() + static_cast<std::ptrdiff_t>(std::min(to, lo + step));
    return static_cast<std::size_t>(std::lower_bound(first, last, key, SortsBefore) -
                                    dirs_.begin());
}

std::size_t TSortedFolderLists::Find(std::string_view path) const {
    if (IsStoredDriveRoot(path)) {
        for (std::size_t i = 0; i < roots_; ++i)
            if (dirs_[i] == path)
                return i;
        return npos;
    }
    const std::size_t at = Bound(path);
    return at < dirs_.size() && dirs_[at] == path ? at : npos;
}

void TSortedFolderLists::RunBelow(std::string_view folder, std::size_t& lo, std::size_t& hi) const {
    std::string key(folder);
    key += '\\';
    lo = Bound(key);
    key.back() = ']';
    hi = Bound(key, lo);
}

void TSortedFolderLists::Insert(std::string_view path, std::string_view size,
                                std::string_view percent) {
    const bool root = IsStoredDriveRoot(path);
    const std::size_t at = root ? roots_ : Bound(path);
    for (TStringList* list : {&dirs_, &sizes_, &percents_})
        list->Splice(at, at, 1);
    dirs_.Set(at, path);
    sizes_.Set(at, size);
    percents_.Set(at, percent);
    for (TStringList* list : parallel_) {
        list->Splice(at, at, 1);
        list->Set(at, "0");
    }
    if (root)
        ++roots_;
}

void TSortedFolderLists::Remove(std::size_t lo, std::size_t hi) {
    for (TStringList* list : {&dirs_, &sizes_, &percents_})
        list->Splice(lo, hi, 0);
    for (TStringList* list : parallel_)
        list->Splice(lo, hi, 0);
    if (lo < roots_)
        roots_ -= std::min(hi, roots_) - lo;
}

// Calls each(j) for every direct child j of folder, stored in [lo, hi).
template <typename TEach>
static void ForEachChild(const TSortedFolderLists& lists, const TStringList& dirs,
                         std::string_view folder, std::size_t lo, std::size_t hi, TEach each) {
    const std::size_t nameAt = folder.size() + 1;
    std::string pastChild;
    for (std::size_t j = lo; j < hi;) {
        const std::size_t deeper = dirs[j].find('\\', nameAt);
        if (deeper == std::string_view::npos) {
            each(j);
            ++j;
            continue;
        }
        pastChild.assign(dirs[j].substr(0, deeper));
        pastChild += ']';
        j = lists.BoundNear(pastChild, j, hi);
    }
}

void TSortedFolderLists::RecomputeShares(std::string_view folder) {
    const std::size_t parentAt = Find(folder);
    if (parentAt == npos)
        return;
    std::int64_t parent = 0;
    const bool parentOk = TryTextToInt64(sizes_[parentAt], parent) && parent != 0;
    std::size_t lo, hi;
    RunBelow(folder, lo, hi);
    ForEachChild(*this, dirs_, folder, lo, hi,
                 [&](std::size_t j) { WriteShare(j, parent, parentOk); });
}

std::int64_t TSortedFolderLists::ChildrenSum(std::string_view folder,
                                             const TStringList& values) const {
    std::size_t lo, hi;
    RunBelow(folder, lo, hi);
    std::int64_t sum = 0;
    ForEachChild(*this, dirs_, folder, lo, hi,
                 [&](std::size_t j) { sum = WrapAddSizes(sum, StoredSizeOf(values[j])); });
    return sum;
}

void TSortedFolderLists::WriteShare(std::size_t child, std::int64_t parent, bool parentOk) {
    std::int64_t size = 0;
    if (!TryTextToInt64(sizes_[child], size))
        return;
    if (size == 0)
        percents_.Set(child, "0");
    else if (parentOk)
        percents_.Set(child, PercentText(SharePercent(size, parent)));
}
