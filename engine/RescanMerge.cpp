#include "engine/RescanMerge.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "engine/NumberText.h"
#include "engine/ResultStoreIndex.h"
#include "engine/SortedFolderLists.h"
#include "engine/StoredListText.h"

namespace {

constexpr std::size_t npos = TSortedFolderLists::npos;

bool IsBelow(std::string_view path, std::string_view folder) {
    return path.size() > folder.size() && path[folder.size()] == '\\' &&
           path.compare(0, folder.size(), folder) == 0;
}

// Whether path, coming after folder in byte order, also comes after every
// path below folder.
bool RunEnded(std::string_view path, std::string_view folder) {
    const int prefix = path.compare(0, folder.size(), folder);
    if (prefix != 0)
        return prefix > 0;
    return path.size() > folder.size() &&
           static_cast<unsigned char>(path[folder.size()]) > static_cast<unsigned char>('\\');
}

// The stored lists of the merge: the sorted lists with the runs a rescan
// replaces and the sums an inserted ancestor needs.
class TStoredLists : public TSortedFolderLists {
  public:
    using TSortedFolderLists::TSortedFolderLists;

    // Whether merging paths of the drive root (e.g. "C:") leaves the whole
    // list in strictly rising byte order, the order the loader insists on.
    // The merge puts a missing root at the end of the roots and the paths
    // below it among the other paths; lists the analyzer writes (the drive
    // root, then the paths below it) always allow that, hand-edited ones with
    // other roots may not.
    bool KeepsByteOrder(const std::string& root) const {
        for (std::size_t i = 1; i < dirs_.size(); ++i)
            if (!(std::string_view(dirs_[i - 1]) < std::string_view(dirs_[i])))
                return false;
        if (roots_ > 0 && !(std::string_view(dirs_[roots_ - 1]) < root + '\\'))
            return false;
        if (Find(root) != npos)
            return true;
        return (roots_ == 0 || std::string_view(dirs_[roots_ - 1]) < root) &&
               (roots_ == dirs_.size() || root < std::string_view(dirs_[roots_]));
    }

    // Replaces the entries [lo, hi) with count entries, entry i of the three
    // lists being made by the given functions.
    template <class Dir, class Size, class Percent>
    void Replace(std::size_t lo, std::size_t hi, std::size_t count, Dir dir, Size size,
                 Percent percent) {
        for (TStringList* list : {&dirs_, &sizes_, &percents_})
            list->Splice(lo, hi, count);
        for (std::size_t i = 0; i < count; ++i) {
            dirs_.Set(lo + i, dir(i));
            sizes_.Set(lo + i, size(i));
            percents_.Set(lo + i, percent(i));
        }
    }

    // The sum of the stored folders below folder that have no stored folder
    // between them and it: each of them holds everything below it. Their
    // runs nest in byte order (a name with a byte before '\\' after "x"
    // comes between "x" and the run below "x"), so a stack of the folders
    // counted, whose runs have not ended, tells whether an entry is below
    // one of them.
    std::int64_t SumBelow(const std::string& folder) const {
        std::size_t lo, hi;
        RunBelow(folder, lo, hi);
        std::int64_t sum = 0;
        std::vector<std::string_view> counted;
        for (std::size_t j = lo; j < hi; ++j) {
            const std::string_view path = dirs_[j];
            while (!counted.empty() && RunEnded(path, counted.back()))
                counted.pop_back();
            if (!counted.empty() && IsBelow(path, counted.back()))
                continue;
            sum = WrapAddSizes(sum, StoredSizeOf(sizes_[j]));
            counted.push_back(path);
        }
        return sum;
    }

    void SetSize(std::size_t at, std::int64_t size) { sizes_.Set(at, Int64ToText(size)); }
};

// The rescan: its first entry is the folder, every other one lies below it,
// in strictly rising byte order.
bool RescanInForm(const TStringList& dirs, const TStringList& sizes, const TStringList& percents) {
    if (dirs.empty() || sizes.size() != dirs.size() || percents.size() != dirs.size())
        return false;
    const std::string_view folder = dirs[0];
    if (folder.empty() || folder.back() == '\\')
        return false;
    for (std::size_t k = 1; k < dirs.size(); ++k) {
        if (!IsBelow(dirs[k], folder))
            return false;
        if (k > 1 && !(std::string_view(dirs[k - 1]) < std::string_view(dirs[k])))
            return false;
    }
    return true;
}

// The drive letter the stored lists use for the rescan's drive: the stored
// one when the letters differ only in case.
char StoredLetter(const TStringList& stored, std::string_view folder) {
    if (!stored.empty() && stored[0].size() >= 2 && stored[0][1] == ':' && folder.size() >= 2 &&
        folder[1] == ':' && UpperDriveLetter(stored[0][0]) == UpperDriveLetter(folder[0]))
        return stored[0][0];
    return folder[0];
}

}  // namespace

bool MergeRescan(TStringList& dirs, TStringList& sizes, TStringList& percents,
                 const TStringList& rescanDirs, const TStringList& rescanSizes,
                 const TStringList& rescanPercents) {
    if (sizes.size() != dirs.size() || percents.size() != dirs.size() ||
        !RescanInForm(rescanDirs, rescanSizes, rescanPercents))
        return false;
    TStoredLists stored(dirs, sizes, percents);
    if (!stored.InScanOrder())
        return false;

    const char letter = StoredLetter(dirs, rescanDirs[0]);
    std::string folder(rescanDirs[0]);
    folder[0] = letter;
    if (!stored.KeepsByteOrder(folder.substr(0, folder.find('\\'))))
        return false;
    const std::string_view total = rescanSizes[0];
    const std::size_t folderAt = stored.Find(folder);
    const std::int64_t change =
        WrapAddSizes(StoredSizeOf(total), -(folderAt == npos ? 0 : StoredSizeOf(sizes[folderAt])));

    // What lies below the folder now is exactly what the rescan found.
    std::size_t lo, hi;
    stored.RunBelow(folder, lo, hi);
    stored.Replace(
        lo, hi, rescanDirs.size() - 1,
        [&](std::size_t i) {
            std::string dir(rescanDirs[i + 1]);
            dir[0] = letter;
            return dir;
        },
        [&](std::size_t i) { return rescanSizes[i + 1]; },
        [&](std::size_t i) { return rescanPercents[i + 1]; });

    // The folder, then each ancestor up to the drive root.
    std::vector<std::string> chain{folder};
    while (!IsStoredDriveRoot(chain.back()))
        chain.push_back(chain.back().substr(0, chain.back().rfind('\\')));
    for (std::size_t i = 0; i < chain.size(); ++i) {
        const std::size_t at = stored.Find(chain[i]);
        if (at == npos) {
            // A folder missing from the stored lists holds, as far as is
            // known, what is stored below it (at least the rescanned folder).
            // A drive root has no parent, so its share is "0" as in a scan.
            stored.Insert(chain[i], total, i == 0 ? rescanPercents[0] : "0");
            if (i > 0)
                stored.SetSize(stored.Find(chain[i]), stored.SumBelow(chain[i]));
        } else if (i == 0) {
            sizes.Set(at, total);
        } else {
            // Never below zero, also where the lists were not whole (an
            // ancestor smaller than the folder's old total).
            std::int64_t size = 0;
            if (TryTextToInt64(sizes[at], size))
                sizes.Set(at, Int64ToText(std::max<std::int64_t>(0, WrapAddSizes(size, change))));
        }
    }
    // Every ancestor's total changed, so the shares of its children did.
    for (std::size_t i = 1; i < chain.size(); ++i)
        stored.RecomputeShares(chain[i]);
    return true;
}

void AppendRescan(TStringList& dirs, TStringList& sizes, TStringList& percents,
                  const TStringList& rescanDirs, const TStringList& rescanSizes,
                  const TStringList& rescanPercents) {
    if (MergeRescan(dirs, sizes, percents, rescanDirs, rescanSizes, rescanPercents))
        return;
    TResultStoreIndex index(dirs);
    for (std::size_t k = 0; k < rescanDirs.size(); ++k) {
        const std::size_t m = index.Find(rescanDirs[k]);
        if (m == TResultStoreIndex::npos)
            continue;
        if (k < rescanSizes.size() && m < sizes.size())
            sizes.Set(m, rescanSizes[k]);
        if (k > 0 && k < rescanPercents.size() && m < percents.size())
            percents.Set(m, rescanPercents[k]);
    }
}
