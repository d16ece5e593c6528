#include "views/pie/PieData.h"

#include <array>
#include <charconv>

#include "engine/ResultStore.h"
#include "platform/DirListing.h"
#include "views/common/ListLookup.h"
#include "views/common/NumberText.h"
#include "views/common/PathText.h"
#include "views/common/RandomColor.h"
#include "views/tree/ListedChildLookup.h"
#include "views/tree/ListedFolderLookup.h"
#include "views/tree/ShellListModel.h"

namespace {

// Only what takes more than this share of the current folder gets a slice.
constexpr float kSliceThreshold = 1.0f;
constexpr float kFolderTotalLimit = 100.0f;

// A single-precision share in the 15 significant digits of the program's
// general number format, independent of the C library's locale.
std::string FullPrecision(float percent) {
    std::array<char, 64> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size(),
                                      static_cast<double>(percent), std::chars_format::general, 15);
    return std::string(text.data(), result.ptr);
}

std::string StoredText(const TStringList& list, int index) {
    return std::string(static_cast<std::size_t>(index) < list.size()
                           ? list[static_cast<std::size_t>(index)]
                           : std::string_view("0"));
}

}  // namespace

TPieData::TPieData(const TResultStore& store, const TShellListModel& bar, bool& folderChanged)
    : FolderChanged(folderChanged), store_(store), bar_(bar) {}

void TPieData::CreatePieData() {
    if (!FolderChanged) {
        return;
    }
    ClearPieSLs();
    OtherColor = RandomColor();
    PieFolders();
    PieFiles();
    if (PieSLSEmpty()) {
        ClearPieSLs();
        Append(" ", " ", "100", "0", RandomColor());
        PiePlaceholder = true;
    }
}

void TPieData::PieFolders() {
    float total = 0.0f;
    const int current = FindListedFolder(store_.GlobalDirs(), bar_.Root());
    if (current != -1) {
        const float percent = GetPercent(store_.ShownPercents(), current);
        AppendFolder(current, percent, bar_.RootFolder().Attributes() & faHidden);
        if (kOwnShareInTotal) {
            total += percent;
        }
    }
    const TListedChildLookup storedChildren(store_.GlobalDirs(), bar_.Root());
    for (const TShellFolder& item : bar_.Items()) {
        const int stored = storedChildren.Find(item.PathName());
        if (stored == -1) {
            continue;
        }
        const float percent = GetPercent(store_.ShownPercents(), stored);
        total += percent;
        if (total > kFolderTotalLimit) {
            break;
        }
        if (percent > kSliceThreshold) {
            AppendFolder(stored, percent, (item.Attributes() & faHidden) || !item.Exists());
        }
    }
}

void TPieData::AppendFolder(int stored, float percent, bool hidden) {
    const std::string path(store_.GlobalDirs()[static_cast<std::size_t>(stored)]);
    // Hidden folders get a lighter colour so they stand apart in the pie.
    const TColor color = hidden ? RandomLightColor() : RandomColor();
    Append(RemoveParentDir(path), path, FormatPercent(percent),
           StoredText(store_.ShownSizes(), stored), color);
}

void TPieData::PieFiles() {
    const int current = IndexOfFolder(bar_.Root());
    if (current == static_cast<int>(store_.GlobalDirs().size())) {
        return;
    }
    const std::int64_t folderTotal = IntValFromSL(store_.ShownSizes(), current);
    for (const TShellFolder& item : bar_.Items()) {
        if (item.IsFolder()) {
            continue;
        }
        const std::int64_t size =
            !item.Exists() ? 0 : (store_.DiskUsage ? item.Allocated() : item.Size());
        const float percent = folderTotal <= 0
                                  ? 0.0f
                                  : static_cast<float>(static_cast<double>(size) /
                                                       static_cast<double>(folderTotal) * 100.0);
        if (percent > kSliceThreshold) {
            Append(RemoveParentDir(item.PathName()), item.PathName(), FullPrecision(percent),
                   std::to_string(size), RandomColor());
        }
        PiePlaceholder = false;
    }
}

void TPieData::ClearPieSLs() {
    PieSizes.clear();
    PieNames.clear();
    PieColors.clear();
    PiePaths.clear();
    PiePercents.clear();
}

bool TPieData::PieSLSEmpty() const {
    return PieNames.empty() || PiePercents.empty() || PieSizes.empty() || PieColors.empty();
}

int TPieData::IndexOfFolder(const std::string& listedPath) const {
    const int found = FindListedFolder(store_.GlobalDirs(), listedPath);
    return found == -1 ? static_cast<int>(store_.GlobalDirs().size()) : found;
}

void TPieData::Append(const std::string& name, const std::string& path, const std::string& percent,
                      const std::string& size, TColor color) {
    PieNames.push_back(name);
    PiePaths.push_back(path);
    PiePercents.push_back(percent);
    PieSizes.push_back(size);
    PieColors.push_back(ColorToString(color));
    PiePlaceholder = false;
}
