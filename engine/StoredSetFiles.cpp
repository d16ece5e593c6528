#include "engine/StoredSetFiles.h"

#include "engine/ExtraFileKinds.h"

namespace {

// The result files in the order of the manifest: Percents, Dirs, DirSizes.
constexpr std::array<std::string_view, 3> kFileRoles = {"Percents", "Dirs", "DirSizes"};
constexpr std::string_view kSetRole = "Set";
constexpr std::string_view kKeptSuffix = ".previous";

}  // namespace

TStoredSetFiles TStoredSetFiles::For(const std::string& dataFolder, std::string_view path) {
    TStoredSetFiles files;
    files.DataFolder = dataFolder;
    if (path.empty() || dataFolder.empty())
        return files;
    const std::string prefix = dataFolder + path[0];
    files.Dirs = prefix + "Dirs";
    files.DirSizes = prefix + "DirSizes";
    files.Percents = prefix + "Percents";
    files.Set = prefix + std::string(kSetRole);
    return files;
}

bool TStoredSetFiles::Exist() const {
    return Named() && DataFileExists(Percents) && DataFileExists(Dirs) && DataFileExists(DirSizes);
}

std::array<std::string, 3> TStoredSetFiles::Kept() const {
    std::array<std::string, 3> kept = Main();
    for (std::string& file : kept)
        file = KeptName(file);
    return kept;
}

std::string TStoredSetFiles::Extra(std::string_view role) const {
    if (Percents.empty())
        return {};
    return DataFolder + DriveLetter() + std::string(role);
}

std::string TStoredSetFiles::DriveLetter() const {
    return Percents.empty() ? std::string() : Percents.substr(DataFolder.size(), 1);
}

std::string TStoredSetFiles::Unnamed(const std::string& dataFolderProblem) const {
    if (!DataFolder.empty())
        return "no drive is chosen";
    return dataFolderProblem.empty() ? "there is no data folder" : dataFolderProblem;
}

TStoredSetStamp TStoredSetFiles::StampOnDisk() const {
    return TStoredSetStamp{{DataFileStampOf(Percents), DataFileStampOf(Dirs),
                            DataFileStampOf(DirSizes), DataFileStampOf(Set)}};
}

TStoredSetStamp TStoredSetFiles::StampNow(bool& racy) const {
    // The clock first: a file written after it has a time not before it.
    const std::int64_t now = DataFileClock();
    const TStoredSetStamp stamp = StampOnDisk();
    racy = false;
    for (const TDataFileStamp& file : stamp.Files)
        racy = racy || (file.Exists && file.Modified >= now);
    return stamp;
}

std::string KeptName(const std::string& file) {
    const std::size_t slash = file.rfind('/') + 1;
    return file.substr(0, slash) + "." + file.substr(slash) + std::string(kKeptSuffix);
}

bool IsOwnTemporaryName(std::string_view name) {
    constexpr std::size_t kRandom = 6;
    if (name.size() < kRandom + 4 || name[0] != '.' || name[name.size() - kRandom - 1] != '.') {
        return false;
    }
    for (char c : name.substr(name.size() - kRandom)) {
        const bool alnum =
            (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!alnum) {
            return false;
        }
    }
    std::string_view base = name.substr(1, name.size() - kRandom - 2);
    if (base.size() > kKeptSuffix.size() + 1 && base[0] == '.' &&
        base.substr(base.size() - kKeptSuffix.size()) == kKeptSuffix) {
        base = base.substr(1, base.size() - kKeptSuffix.size() - 1);
    }
    if (base.size() < 2 ||
        !((base[0] >= 'A' && base[0] <= 'Z') || (base[0] >= 'a' && base[0] <= 'z'))) {
        return false;
    }
    base.remove_prefix(1);
    for (std::string_view role : kFileRoles) {
        if (base == role) {
            return true;
        }
    }
    return base == kSetRole || FindExtraFileKind(base) != nullptr;
}
