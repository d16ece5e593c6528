#include "views/bar/BarData.h"

#include <cmath>

#include "engine/ResultStore.h"
#include "views/common/Colors.h"
#include "views/common/ListLookup.h"
#include "views/common/NumberText.h"
#include "views/common/RandomColor.h"
#include "views/tree/ItemExclusion.h"
#include "views/tree/ListedChildLookup.h"
#include "views/tree/ListedFolderLookup.h"
#include "views/tree/ShellListModel.h"

namespace {

// The rows' whole percents may add up a little over 100 through rounding;
// only a sum past this limit means the stored shares no longer fit the folder.
constexpr long long kPercentSumLimit = 102;

std::string RandomColorText() {
    return ColorToString(RandomColor());
}

}  // namespace

TBarData::TBarData(const TResultStore& store, const TShellListModel& bar, bool& folderChanged)
    : FolderChanged(folderChanged), store_(store), bar_(bar) {}

void TBarData::CreateFolderBarData() {
    if (!FolderChanged || store_.GlobalSLSEmpty()) {
        return;
    }
    ClearBarSLs();
    BarDataReady = false;
    BarFilesFolders();
    FolderChanged = false;
    BarDataReady = true;
}

void TBarData::ClearBarSLs() {
    BarSizes.clear();
    BarPercents.clear();
    BarColors.clear();
    BarExcluded.clear();
}

bool TBarData::BarSLSEmpty() const {
    return BarSizes.empty() || BarPercents.empty() || BarColors.empty();
}

void TBarData::BarFilesFolders() {
    PercentOverflow = false;
    long long wholeSum = 0;
    const std::int64_t total = RootFolderSize();
    const TListedChildLookup storedChildren(store_.GlobalDirs(), bar_.Root());
    ReserveRows(static_cast<std::size_t>(bar_.Count()));
    const TItemExclusion excluded(store_.GlobalExtras(), bar_.RootFolder().NativePath());
    BarExcluded.assign(static_cast<std::size_t>(bar_.Count()), std::string());
    for (int i = 0; i < bar_.Count(); ++i) {
        const TShellFolder& item = bar_.Item(i);
        const int stored = storedChildren.Find(item.PathName());
        std::string& why = BarExcluded[static_cast<std::size_t>(i)];
        if (stored == -1)
            why = excluded.Why(item, BarItemIsFolder(i));
        if (!why.empty()) {
            EmptyLine();  // neither counted nor entered: no size, no bar
        } else if (stored == -1 && BarItemIsFolder(i)) {
            EmptyLine();
        } else if (stored != -1) {
            AddFolderRow(stored, wholeSum);
        } else if (item.Exists()) {
            AddFileRow(store_.DiskUsage ? item.Allocated() : item.Size(), total, wholeSum);
        } else {
            // Neither a folder nor a file any more: an empty row keeps every
            // later row beside its own item.
            EmptyLine();
        }
    }
    if (PercentOverflow) {
        ZeroSL(BarPercents);
    }
}

void TBarData::ReserveRows(std::size_t rows) {
    // Room for the usual texts of a row ("12.3", a size of a few bytes,
    // "$00AABBCC"): a large folder's lists are then made without copying
    // them at each growth. Room left unused is never touched.
    constexpr std::size_t kPercentBytes = 4, kSizeBytes = 12, kColorBytes = 9;
    BarPercents.reserve(rows);
    BarSizes.reserve(rows);
    BarColors.reserve(rows);
    BarPercents.ReserveBytes(rows * kPercentBytes);
    BarSizes.ReserveBytes(rows * kSizeBytes);
    BarColors.ReserveBytes(rows * kColorBytes);
}

void TBarData::AddFolderRow(int stored, long long& wholeSum) {
    const float percent = GetPercent(store_.ShownPercents(), stored);
    wholeSum += static_cast<long long>(std::trunc(percent));
    const TStringList& sizes = store_.ShownSizes();
    const std::string_view size = static_cast<std::size_t>(stored) < sizes.size()
                                      ? sizes[static_cast<std::size_t>(stored)]
                                      : std::string_view("0");
    AddTPDC(FormatPercent(percent), size, RandomColorText());
    if (wholeSum > kPercentSumLimit) {
        PercentOverflow = true;
    }
}

void TBarData::AddFileRow(std::int64_t size, std::int64_t total, long long& wholeSum) {
    const float percent = CalcPercent(size, total);
    wholeSum += static_cast<long long>(std::trunc(percent));
    std::string percentText = "0";
    if (wholeSum > kPercentSumLimit) {
        PercentOverflow = true;
    } else if (total > 0) {
        percentText = FormatPercent(percent);
    }
    AddTPDC(percentText, std::to_string(size), RandomColorText());
}

std::int64_t TBarData::RootFolderSize() const {
    const int stored = FindListedFolder(store_.GlobalDirs(), bar_.Root());
    return stored == -1 ? 0 : IntValFromSL(store_.ShownSizes(), stored);
}

bool TBarData::ShowsAllocated() const {
    return store_.DiskUsage;
}

bool TBarData::BarItemIsFolder(int index) const {
    return index >= 0 && index < bar_.Count() && bar_.Item(index).IsFolder();
}

void TBarData::AddTPDC(std::string_view percent, std::string_view size, std::string_view color) {
    BarPercents.push_back(percent);
    BarSizes.push_back(size);
    BarColors.push_back(color);
}

void TBarData::EmptyLine() {
    AddTPDC("0", "0", ColorToString(clWhite));
}

void TBarData::ZeroSL(TStringList& list) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        list.Set(i, "0");
    }
}
