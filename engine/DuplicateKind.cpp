#include "engine/DuplicateKind.h"

#include "engine/DuplicateText.h"
#include "engine/StoredSet.h"
#include "platform/DriveForm.h"

namespace {

// Whether the drive-form folder is the searched folder or lies inside it
// (or holds it: a change above the folder may have moved it).
bool Touches(const std::string& rootNative, const std::string& folder) {
    const auto root = NativeToDriveForm(rootNative);
    if (!root)
        return true;
    auto below = [](const std::string& a, const std::string& b) {
        return a.size() >= b.size() && a.compare(0, b.size(), b) == 0 &&
               (a.size() == b.size() || b.back() == '\\' || a[b.size()] == '\\');
    };
    return below(folder, *root) || below(*root, folder);
}

bool TouchesAny(const TStringList& lines, const std::vector<std::string>& folders) {
    TDuplicateResult result;
    bool asOf = false;
    std::string error;
    if (!ReadDuplicateLines(lines, result, asOf, error))
        return false;
    for (const std::string& folder : folders)
        if (Touches(result.Root, folder))
            return true;
    return false;
}

std::string DuplicatesFault(const TStringList&, const TStringList& lines) {
    TDuplicateResult result;
    bool asOf = false;
    std::string error;
    return ReadDuplicateLines(lines, result, asOf, error) ? std::string() : error;
}

// A result names every candidate copy at most; a few hundred bytes each.
std::uint64_t MaxDuplicatesBytes(std::size_t) {
    return std::uint64_t(1) << 30;
}

bool MergeDuplicates(const TStringList&, TStringList& stored, const TStringList& rescanDirs,
                     const TStringList&) {
    if (!rescanDirs.empty() && TouchesAny(stored, {std::string(rescanDirs[0])}))
        stored = DuplicateLinesAsOf(stored);
    return true;
}

}  // namespace

TExtraFileKind DuplicateKind() {
    return {std::string(kDuplicatesRole), DuplicatesFault, MaxDuplicatesBytes, MergeDuplicates, {}};
}

void MarkDuplicatesAsOf(TStoredSet& set, const std::vector<std::string>& changedFolders) {
    const auto it = set.Extras.find(kDuplicatesRole);
    if (it != set.Extras.end() && TouchesAny(it->second, changedFolders))
        it->second = DuplicateLinesAsOf(it->second);
}
