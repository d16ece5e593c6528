#include "views/bar/BarChanges.h"

#include <algorithm>
#include <cmath>

#include "platform/DriveForm.h"
#include "views/common/NumberText.h"
#include "views/tree/ListedFolderLookup.h"

namespace {

std::int64_t Magnitude(std::int64_t value) {
    return value < 0 ? (value == INT64_MIN ? INT64_MAX : -value) : value;
}

TRowChange RowOf(const TResultChanges& changes, std::size_t k) {
    TRowChange row;
    row.Size = changes.Now[k];
    row.Change = changes.Change(k);
    if (changes.IsNew(k)) {
        row.Kind = TRowChange::TKind::New;
    } else if (row.Change > 0) {
        row.Kind = TRowChange::TKind::Grown;
    } else if (row.Change < 0) {
        row.Kind = TRowChange::TKind::Shrunk;
    } else {
        row.Kind = TRowChange::TKind::Same;
    }
    return row;
}

}  // namespace

std::string SignedMB(std::int64_t bytes) {
    const double mb = static_cast<double>(bytes) / 1048576.0;
    const std::string magnitude = FormatOneDecimal(mb < 0 ? -mb : mb);
    return bytes > 0 ? "+" + magnitude : bytes < 0 ? "-" + magnitude : magnitude;
}

void TBarChanges::Build(const TStringList& dirs, const TResultChanges& changes,
                        const std::string& folder, const std::vector<std::string>& rowPaths) {
    Rows.assign(rowPaths.size(), TRowChange());
    Gone.clear();
    Largest = 0;
    for (std::size_t i = 0; i < rowPaths.size(); ++i) {
        const int k = FindListedFolder(dirs, rowPaths[i]);
        if (k >= 0 && static_cast<std::size_t>(k) < changes.Now.size()) {
            Rows[i] = RowOf(changes, static_cast<std::size_t>(k));
            Largest = std::max(Largest, Magnitude(Rows[i].Change));
        }
    }
    const std::string stored = ListedToStoredPath(folder);
    for (std::size_t g : changes.GoneInside(stored)) {
        const std::string_view path = changes.GoneDirs[g];
        const std::size_t slash = path.rfind('\\');
        Gone.push_back(
            {std::string(path), UnescapeName(path.substr(slash + 1)), changes.GoneSizes[g]});
        Largest = std::max(Largest, Magnitude(changes.GoneSizes[g]));
    }
    std::stable_sort(Gone.begin(), Gone.end(),
                     [](const TGoneFolder& a, const TGoneFolder& b) { return a.Size > b.Size; });
}

std::string TBarChanges::ChangeText(const TRowChange& row) {
    switch (row.Kind) {
        case TRowChange::TKind::None:
            return {};
        case TRowChange::TKind::New:
            return SignedMB(row.Change) + " new";
        case TRowChange::TKind::Gone:
            return SignedMB(row.Change) + " gone";
        default:
            return SignedMB(row.Change);
    }
}

int TBarChanges::BarLength(std::int64_t change, std::int64_t largest, int width) {
    if (change == 0 || largest <= 0 || width <= 0) {
        return 0;
    }
    const long double share =
        static_cast<long double>(Magnitude(change)) / static_cast<long double>(largest);
    const int length = static_cast<int>(std::trunc(share * width));
    return std::clamp(length, 1, width);
}
