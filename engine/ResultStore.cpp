#include "engine/ResultStore.h"

#include <errno.h>

#include <cstring>
#include <memory>
#include <stdexcept>
#include <thread>
#include <utility>

#include "engine/RescanMerge.h"
#include "engine/ResultChecksum.h"
#include "engine/ResultFileText.h"
#include "engine/ResultListCheck.h"
#include "engine/ResultSetManifest.h"
#include "engine/ResultStoreIndex.h"
#include "platform/AtomicFile.h"
#include "platform/DataFolder.h"
#include "platform/DataFolderLock.h"

namespace {

// The result files in the order of the manifest: Percents, Dirs, DirSizes.
constexpr std::array<std::string_view, 3> kRoles = {"Percents", "Dirs", "DirSizes"};
constexpr std::string_view kSetRole = "Set";
constexpr std::string_view kKeptSuffix = ".previous";
constexpr std::size_t kSavePiece = 256 << 10;

using TFileSums = std::array<TResultFileSum, 3>;

std::string Reason(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

// The file is read into the list's buffer and its lines marked where they
// lie, so a million folders load without a million allocations; each piece
// read is summed, split and checked while it is still in the cache.
bool LoadList(const std::string& path, TResultRole role, TStringList& list, TResultFileSum& sum,
              TListFault& fault) {
    list.RawBuffer(0);
    TResultChecksum checksum;
    TResultLineMarker marker(list);
    TListChecker checker(role);
    const bool ok = ReadDataFileInto(
        path, [&list](std::size_t size) { return list.ResizeRaw(size); },
        [&](std::size_t from, std::size_t to) {
            checksum.Feed(list.RawBytes().substr(from, to - from));
            marker.Feed(to);
            checker.Check(list);
        });
    if (ok) {
        marker.Finish();
        checker.Check(list);
    } else {
        list.clear();
    }
    fault = checker.Fault();
    sum = TResultFileSum{list.size(), checksum.Bytes(), checksum.Value()};
    return ok;
}

using TListFaults = std::array<TListFault, 3>;
constexpr std::array<TResultRole, 3> kRoleOf = {TResultRole::Percents, TResultRole::Dirs,
                                                TResultRole::DirSizes};

// The three files are read, summed, split and checked at once: Dirs, the
// largest, on this thread, the other two on a second one, so that a set of
// a million folders loads in about the time of its largest file.
bool LoadLists(const std::array<std::string, 3>& paths, std::array<TStringList*, 3> lists,
               TFileSums& sums, TListFaults& faults, std::string& failed) {
    // Why a file failed, taken where it failed: errno is each thread's own.
    std::array<int, 3> errors{};
    auto load = [&](std::size_t i) {
        try {
            if (!LoadList(paths[i], kRoleOf[i], *lists[i], sums[i], faults[i]))
                errors[i] = errno != 0 ? errno : EIO;
        } catch (const std::length_error&) {
            // A line of 4 GiB or more: no list holds it, nor did a save write it.
            lists[i]->clear();
            errors[i] = EFBIG;
        }
    };
    std::thread others([&load] {
        load(0);
        load(2);
    });
    load(1);
    others.join();
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (errors[i] != 0) {
            failed = paths[i];
            errno = errors[i];
            return false;
        }
    }
    return true;
}

// The sums of files without keeping their lines.
bool SumFiles(const std::array<std::string, 3>& paths, TFileSums& sums) {
    for (std::size_t i = 0; i < paths.size(); ++i) {
        TResultChecksum checksum;
        TResultLineCount lines;
        if (!DataFileExists(paths[i]) || !ReadDataFileChunks(paths[i], [&](std::string_view piece) {
                checksum.Feed(piece);
                lines.Feed(piece);
            })) {
            return false;
        }
        sums[i] = TResultFileSum{lines.Lines(), checksum.Bytes(), checksum.Value()};
    }
    return true;
}

enum class TManifestState { Absent, Valid, Garbled };

TManifestState ReadManifest(const std::string& path, TResultSetManifest& manifest) {
    if (!DataFileExists(path)) {
        return TManifestState::Absent;
    }
    std::string text;
    return ReadDataFile(path, text) && TResultSetManifest::Parse(text, manifest)
               ? TManifestState::Valid
               : TManifestState::Garbled;
}

// A temporary file of a save (".CDirs.Ab12Cd", ".CSet.Ab12Cd") or of
// keeping a file without hard links ("..CDirs.previous.Ab12Cd").
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
    for (std::string_view role : kRoles) {
        if (base == role) {
            return true;
        }
    }
    return base == kSetRole;
}

// Where the last whole set of a drive is before a save replaces it.
struct TWholeSet {
    enum class TWhere { None, Main, Kept } Where = TWhere::None;
    TResultSetSums Sums;
    std::uint64_t LastGeneration = 0;
};

TWholeSet FindWholeSet(const std::string& setFile, const std::array<std::string, 3>& main,
                       const std::array<std::string, 3>& kept) {
    TWholeSet whole;
    TResultSetManifest manifest;
    TFileSums sums;
    switch (ReadManifest(setFile, manifest)) {
        case TManifestState::Valid:
            whole.LastGeneration = manifest.Current.Generation;
            if (SumFiles(main, sums) && sums == manifest.Current.Files) {
                whole.Where = TWholeSet::TWhere::Main;
                whole.Sums = manifest.Current;
            } else if (manifest.HasPrevious && SumFiles(kept, sums) &&
                       sums == manifest.Previous.Files) {
                whole.Where = TWholeSet::TWhere::Kept;
                whole.Sums = manifest.Previous;
            }
            break;
        case TManifestState::Absent:
            // A set saved without a manifest counts as whole: nothing says otherwise.
            if (SumFiles(main, sums)) {
                whole.Where = TWholeSet::TWhere::Main;
                whole.Sums.Files = sums;
            }
            break;
        case TManifestState::Garbled:
            break;
    }
    return whole;
}

}  // namespace

TResultStore::TResultStore() {
    DataFolder = ::DataFolder(&DataFolderProblem);
}

TResultStore::TResultStore(std::string dataFolder) : DataFolder(std::move(dataFolder)) {}

void TResultStore::SetFiles(std::string_view path) {
    if (path.empty() || DataFolder.empty()) {
        DirsFile.clear();
        DirSizesFile.clear();
        PercentsFile.clear();
        SetFile.clear();
        return;
    }
    std::string prefix = DataFolder + path[0];
    DirsFile = prefix + "Dirs";
    DirSizesFile = prefix + "DirSizes";
    PercentsFile = prefix + "Percents";
    SetFile = prefix + std::string(kSetRole);
}

std::array<std::string, 3> TResultStore::Files() const {
    return {PercentsFile, DirsFile, DirSizesFile};
}

std::array<std::string, 3> TResultStore::KeptFiles() const {
    std::array<std::string, 3> kept = Files();
    for (std::string& file : kept) {
        const std::size_t slash = file.rfind('/') + 1;
        file = file.substr(0, slash) + "." + file.substr(slash) + std::string(kKeptSuffix);
    }
    return kept;
}

bool TResultStore::AnalizeFiExists() const {
    return !PercentsFile.empty() && DataFileExists(PercentsFile) && DataFileExists(DirsFile) &&
           DataFileExists(DirSizesFile);
}

void TResultStore::Step(int step) const {
    if (SaveStepHook) {
        SaveStepHook(step);
    }
}

bool TResultStore::Fail(const std::string& why) {
    SaveError = why;
    return false;
}

bool TResultStore::SaveLists(const TStringList& percents, const TStringList& dirs,
                             const TStringList& dirSizes) {
    SaveError.clear();
    if (PercentsFile.empty()) {
        return Fail(DataFolder.empty() ? (DataFolderProblem.empty() ? "there is no data folder"
                                                                    : DataFolderProblem)
                                       : "no drive is chosen");
    }
    TDataFolderLock lock(DataFolder, TDataFolderLock::TMode::Exclusive);
    if (!lock.Locked()) {
        return Fail(Reason(DataFolder));
    }
    // Under the lock no other save is running: every temporary file of ours
    // is a leftover of a save that was killed.
    RemoveDataFiles(DataFolder, IsOwnTemporaryName);

    const std::array<std::string, 3> main = Files();
    const std::array<std::string, 3> kept = KeptFiles();
    const TWholeSet whole = FindWholeSet(SetFile, main, kept);

    // All three new files are written out and flushed before anything is
    // replaced, so a failure here (a full disk) changes nothing.
    const std::array<const TStringList*, 3> lists = {&percents, &dirs, &dirSizes};
    std::array<std::unique_ptr<TAtomicFile>, 3> written;
    TResultSetManifest manifest;
    manifest.Current.Generation = whole.LastGeneration + 1;
    for (std::size_t i = 0; i < written.size(); ++i) {
        written[i] = std::make_unique<TAtomicFile>(main[i]);
        if (!written[i]->Open()) {
            return Fail(Reason(main[i]));
        }
        // The lines are gathered into pieces of 256 KiB, each summed,
        // counted and written at once.
        TResultChecksum checksum;
        TResultLineCount lineCount;
        std::string piece;
        piece.reserve(kSavePiece + 4096);
        auto put = [&] {
            checksum.Feed(piece);
            lineCount.Feed(piece);
            const bool ok = written[i]->Write(piece);
            piece.clear();
            return ok;
        };
        for (const std::string_view line : *lists[i]) {
            piece.append(line).append("\r\n");
            if (piece.size() >= kSavePiece && !put()) {
                return Fail(Reason(main[i]));
            }
        }
        if (!put() || !written[i]->Finish()) {
            return Fail(Reason(main[i]));
        }
        manifest.Current.Files[i] =
            TResultFileSum{lineCount.Lines(), checksum.Bytes(), checksum.Value()};
    }
    Step(0);

    // The last whole set is kept under other names until the new one is
    // complete: a crash between the renames below falls back on it.
    if (whole.Where == TWholeSet::TWhere::Main) {
        for (std::size_t i = 0; i < main.size(); ++i) {
            if (!KeepDataFileAs(main[i], kept[i])) {
                return Fail(Reason(kept[i]));
            }
        }
        SyncDataFolder(DataFolder);
    }
    Step(1);
    if (whole.Where != TWholeSet::TWhere::None) {
        manifest.HasPrevious = true;
        manifest.Previous = whole.Sums;
    }
    if (!WriteFileAtomically(SetFile, manifest.Text())) {
        return Fail(Reason(SetFile));
    }
    Step(2);
    for (std::size_t i = 0; i < written.size(); ++i) {
        if (!written[i]->Commit()) {
            return Fail(Reason(main[i]));
        }
        Step(3 + static_cast<int>(i));
    }
    return true;
}

bool TResultStore::SaveAnalizeData(const TStringList& dirs, const TStringList& dirSizes,
                                   const TStringList& percents) {
    return SaveLists(percents, dirs, dirSizes);
}

bool TResultStore::SaveGlobalSLS() {
    return SaveLists(GlobalPercents, GlobalDirs, GlobalDirSizes);
}

void TResultStore::AppendAnalizeInfo(const TStringList& dirs, const TStringList& dirSizes,
                                     const TStringList& percents) {
    if (GlobalSLSEmpty()) {
        return;
    }
    ++generation_;
    if (MergeRescan(GlobalDirs, GlobalDirSizes, GlobalPercents, dirs, dirSizes, percents)) {
        return;
    }
    TResultStoreIndex index(GlobalDirs);
    for (std::size_t k = 0; k < dirs.size(); ++k) {
        std::size_t m = index.Find(dirs[k]);
        if (m != TResultStoreIndex::npos) {
            // The lists may be of different lengths: write only entries that exist.
            if (k < dirSizes.size() && m < GlobalDirSizes.size()) {
                GlobalDirSizes.Set(m, dirSizes[k]);
            }
            if (k > 0 && k < percents.size() && m < GlobalPercents.size()) {
                GlobalPercents.Set(m, percents[k]);
            }
        }
    }
}

bool TResultStore::Refuse(const std::string& why) {
    CreateSLs();
    const std::string drive = PercentsFile.empty()
                                  ? std::string("this drive")
                                  : "drive " + PercentsFile.substr(DataFolder.size(), 1) + ":";
    LoadNotice = "The stored results of " + drive + " cannot be used: " + why + ".";
    return false;
}

bool TResultStore::LoadGlobal() {
    LoadNotice.clear();
    ++generation_;
    if (PercentsFile.empty()) {
        return Refuse(DataFolder.empty() ? (DataFolderProblem.empty() ? "there is no data folder"
                                                                      : DataFolderProblem)
                                         : "no drive is chosen");
    }
    TDataFolderLock lock(DataFolder, TDataFolderLock::TMode::Shared);
    std::array<TStringList*, 3> lists = {&GlobalPercents, &GlobalDirs, &GlobalDirSizes};
    TFileSums sums;
    TListFaults faults;
    std::string failed;
    if (!LoadLists(Files(), lists, sums, faults, failed)) {
        return Refuse(Reason(failed));
    }
    TResultSetManifest manifest;
    const TManifestState state = ReadManifest(SetFile, manifest);
    if (state == TManifestState::Garbled) {
        return Refuse(SetFile + " is damaged, so the files cannot be checked");
    }
    if (state == TManifestState::Valid && sums != manifest.Current.Files) {
        // A save was cut off part way: the set before it, if it was kept whole.
        if (!manifest.HasPrevious || !LoadLists(KeptFiles(), lists, sums, faults, failed) ||
            sums != manifest.Previous.Files) {
            return Refuse(
                "its files are not the ones saved together last (a save was cut "
                "off, or a file was changed since)");
        }
        LoadNotice = "The last save of the results of drive " +
                     PercentsFile.substr(DataFolder.size(), 1) +
                     ": was interrupted; the results saved before it are shown.";
    }
    const std::string fault =
        ResultListsFault(GlobalPercents, GlobalDirs, GlobalDirSizes, faults,
                         TResultListNames{PercentsFile, DirsFile, DirSizesFile});
    if (!fault.empty()) {
        return Refuse(fault);
    }
    return true;
}

std::string TResultStore::TakeLoadNotice() {
    if (LoadNotice.empty() || !told_.insert(LoadNotice).second) {
        return {};
    }
    return LoadNotice;
}

void TResultStore::LoadTree(TTreeLists& tree) const {
    tree.Percents = GlobalPercents;
    tree.Dirs = GlobalDirs;
    tree.ShowBarCharts = true;
}

bool TResultStore::LoadData(TTreeLists& tree) {
    bool ok = LoadGlobal();
    LoadTree(tree);
    return ok;
}

void TResultStore::CreateSLs() {
    ++generation_;
    GlobalDirs = {" "};
    GlobalDirSizes = {"0"};
    GlobalPercents = {"0"};
}

void TResultStore::FreeSLs() {
    ++generation_;
    GlobalDirs.clear();
    GlobalDirSizes.clear();
    GlobalPercents.clear();
}

bool TResultStore::GlobalSLSEmpty() const {
    return GlobalDirs.empty() && GlobalDirSizes.empty() && GlobalPercents.empty();
}
