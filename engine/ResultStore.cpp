#include "engine/ResultStore.h"

#include <errno.h>

#include <cstring>
#include <memory>
#include <set>
#include <stdexcept>
#include <thread>
#include <utility>

#include "engine/DirAggregate.h"
#include "engine/DirOrder.h"
#include "engine/DiskSizeList.h"
#include "engine/ExtraFileKinds.h"
#include "engine/ExtraRescan.h"
#include "engine/RescanMerge.h"
#include "engine/ResultChecksum.h"
#include "engine/ResultFileText.h"
#include "engine/ResultListCheck.h"
#include "engine/ResultSetManifest.h"
#include "engine/StoredSetPreload.h"
#include "platform/AtomicFile.h"
#include "platform/DataFolder.h"
#include "platform/DataFolderLock.h"
#include "platform/HistoryFolder.h"

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
bool LoadList(const std::string& path, std::uint64_t limit, TResultRole role, TStringList& list,
              TResultFileSum& sum, TListFault& fault) {
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
        },
        limit);
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
// Each file is read up to its limit (its size when opened; for the files
// kept from before a save, the size the manifest records).
using TLimits = std::array<std::uint64_t, 3>;
constexpr TLimits kWholeFiles = {kFileSize, kFileSize, kFileSize};

TLimits LimitsOf(const TResultSetSums& set) {
    return {set.Files[0].Bytes, set.Files[1].Bytes, set.Files[2].Bytes};
}

bool LoadLists(const std::array<std::string, 3>& paths, const TLimits& limits,
               std::array<TStringList*, 3> lists, TFileSums& sums, TListFaults& faults,
               std::string& failed) {
    // Why a file failed, taken where it failed: errno is each thread's own.
    std::array<int, 3> errors{};
    auto load = [&](std::size_t i) {
        try {
            if (!LoadList(paths[i], limits[i], kRoleOf[i], *lists[i], sums[i], faults[i]))
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
bool SumFiles(const std::array<std::string, 3>& paths, const TLimits& limits, TFileSums& sums) {
    for (std::size_t i = 0; i < paths.size(); ++i) {
        TResultChecksum checksum;
        TResultLineCount lines;
        if (!ReadDataFileChunks(
                paths[i],
                [&](std::string_view piece) {
                    checksum.Feed(piece);
                    lines.Feed(piece);
                },
                limits[i])) {
            return false;
        }
        sums[i] = TResultFileSum{lines.Lines(), checksum.Bytes(), checksum.Value()};
    }
    return true;
}

enum class TManifestState { Absent, Valid, Garbled };

// Far more than any manifest holds.
constexpr std::uint64_t kManifestLimit = 64 << 10;

// A manifest that is there but is no regular file of the user's (a folder,
// a FIFO, a link) counts as damaged, not as absent: otherwise the set would
// load unchecked.
TManifestState ReadManifest(const std::string& path, TResultSetManifest& manifest) {
    std::string text;
    if (!ReadDataFile(path, text, kManifestLimit)) {
        return errno == ENOENT ? TManifestState::Absent : TManifestState::Garbled;
    }
    return TResultSetManifest::Parse(text, manifest) ? TManifestState::Valid
                                                     : TManifestState::Garbled;
}

// What the three result files are against the manifest.
enum class TSetKind {
    Recorded,     // the set the manifest records as new: all is well
    Interrupted,  // a mix of that set and the one before: a save was cut off
    Previous,     // the set before, whole: a save was cut off before its renames
    Outside,      // any file is neither: changed outside the program
};

TSetKind KindOf(const TResultSetManifest& manifest, const TFileSums& sums) {
    bool allCurrent = true, allPrevious = true;
    for (std::size_t i = 0; i < sums.size(); ++i) {
        const bool current = sums[i] == manifest.Current.Files[i];
        const bool previous = manifest.HasPrevious && sums[i] == manifest.Previous.Files[i];
        if (!current && !previous) {
            return TSetKind::Outside;
        }
        allCurrent = allCurrent && current;
        allPrevious = allPrevious && previous;
    }
    return allCurrent ? TSetKind::Recorded
                      : (allPrevious ? TSetKind::Previous : TSetKind::Interrupted);
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
    return base == kSetRole || FindExtraFileKind(base) != nullptr;
}

// The name a file of a set is kept under while a save replaces it:
// "CDirs" -> ".CDirs.previous".
std::string KeptName(const std::string& file) {
    const std::size_t slash = file.rfind('/') + 1;
    return file.substr(0, slash) + "." + file.substr(slash) + std::string(kKeptSuffix);
}

// The sum of a file read up to limit; false when it cannot be read.
bool SumFile(const std::string& path, std::uint64_t limit, TResultFileSum& sum) {
    TResultChecksum checksum;
    TResultLineCount lines;
    if (!ReadDataFileChunks(
            path,
            [&](std::string_view piece) {
                checksum.Feed(piece);
                lines.Feed(piece);
            },
            limit)) {
        return false;
    }
    sum = TResultFileSum{lines.Lines(), checksum.Bytes(), checksum.Value()};
    return true;
}

using TExtraSums = std::map<std::string, TResultFileSum, std::less<>>;

// The extra files of a recorded set that are there as recorded: under
// their own names (added to inMain), or as the copies kept of them while a
// save replaced them. path(role) names a role's own file.
template <class Path>
TExtraSums ExtrasThere(const TExtraSums& recorded, Path path, std::set<std::string>& inMain) {
    TExtraSums there;
    for (const auto& [role, sum] : recorded) {
        if (FindExtraFileKind(role) == nullptr) {
            continue;
        }
        TResultFileSum found;
        if (SumFile(path(role), sum.Bytes, found) && found == sum) {
            inMain.insert(role);
            there.emplace(role, sum);
        } else if (SumFile(KeptName(path(role)), sum.Bytes, found) && found == sum) {
            there.emplace(role, sum);
        }
    }
    return there;
}

// Where the last whole set of a drive is before a save replaces it: the
// result files themselves (as the manifest records them, or changed outside
// the program), or, after a save that was cut off, the kept files. Its
// extra files are those found as recorded (in the same place).
struct TWholeSet {
    enum class TWhere { None, Main, Kept } Where = TWhere::None;
    TResultSetSums Sums;
    std::uint64_t LastGeneration = 0;
    // Which of the result files differ from the kept set (Where == Kept).
    std::array<bool, 3> MainDiffers{};
    // The extra files found under their own names (the others are kept
    // copies already).
    std::set<std::string> ExtrasInMain;
};

// extraFile(role): the extra file's path. known: the sums of the result
// files when they are known without reading them (null: they are read); the
// extra files are read either way.
template <class ExtraFile>
TWholeSet FindWholeSet(const std::string& setFile, const std::array<std::string, 3>& main,
                       const std::array<std::string, 3>& kept, ExtraFile extraFile,
                       const TFileSums* known) {
    TWholeSet whole;
    TResultSetManifest manifest;
    TFileSums sums;
    const TManifestState state = ReadManifest(setFile, manifest);
    if (state == TManifestState::Garbled) {
        return whole;
    }
    if (known != nullptr) {
        sums = *known;
    } else if (!SumFiles(main, kWholeFiles, sums)) {
        return whole;
    }
    whole.Where = TWholeSet::TWhere::Main;
    whole.Sums.Files = sums;
    if (state == TManifestState::Absent) {
        // A set saved without a manifest counts as whole: nothing says otherwise.
        return whole;
    }
    whole.LastGeneration = manifest.Current.Generation;
    const TSetKind kind = KindOf(manifest, sums);
    whole.Sums.Generation = manifest.Current.Generation;
    if (kind == TSetKind::Recorded) {
        whole.Sums.Extras = ExtrasThere(manifest.Current.Extras, extraFile, whole.ExtrasInMain);
    } else if (kind == TSetKind::Previous) {
        whole.Sums = manifest.Previous;
        whole.Sums.Extras = ExtrasThere(manifest.Previous.Extras, extraFile, whole.ExtrasInMain);
    } else if (kind == TSetKind::Interrupted) {
        TFileSums keptSums;
        if (SumFiles(kept, LimitsOf(manifest.Previous), keptSums) &&
            keptSums == manifest.Previous.Files) {
            whole.Where = TWholeSet::TWhere::Kept;
            whole.Sums = manifest.Previous;
            // Only the kept copies are sure to be that set's.
            std::set<std::string> copies;
            whole.Sums.Extras = ExtrasThere(
                manifest.Previous.Extras,
                [&](const std::string& role) { return KeptName(extraFile(role)); }, copies);
            whole.Sums.Extras = [&] {
                TExtraSums found;
                for (const std::string& role : copies) {
                    found.emplace(role, whole.Sums.Extras.at(role));
                }
                return found;
            }();
            for (std::size_t i = 0; i < sums.size(); ++i) {
                whole.MainDiffers[i] = sums[i] != manifest.Previous.Files[i];
            }
        } else {
            whole.Where = TWholeSet::TWhere::None;
        }
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
        file = KeptName(file);
    }
    return kept;
}

std::string TResultStore::ExtraFile(std::string_view role) const {
    if (PercentsFile.empty()) {
        return {};
    }
    return DataFolder + DriveLetter() + std::string(role);
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

TStoredSetStamp TResultStore::StampOnDisk() const {
    const std::array<std::string, 3> main = Files();
    return TStoredSetStamp{{DataFileStampOf(main[0]), DataFileStampOf(main[1]),
                            DataFileStampOf(main[2]), DataFileStampOf(SetFile)}};
}

TStoredSetStamp TResultStore::StampNow(bool& racy) const {
    // The clock first: a file written after it has a time not before it.
    const std::int64_t now = DataFileClock();
    const TStoredSetStamp stamp = StampOnDisk();
    racy = false;
    for (const TDataFileStamp& file : stamp.Files) {
        racy = racy || (file.Exists && file.Modified >= now);
    }
    return stamp;
}

const TResultStore::TFileSums* TResultStore::KnownSums() const {
    return knownValid_ && StampOnDisk() == knownStamp_ ? &knownSums_ : nullptr;
}

void TResultStore::RememberSums(const TFileSums& sums, const TStoredSetStamp* before) {
    bool racy = false;
    const TStoredSetStamp stamp = StampNow(racy);
    knownValid_ = !racy && (before == nullptr || *before == stamp);
    knownStamp_ = stamp;
    knownSums_ = sums;
}

void TResultStore::AdoptBaseOf(const TResultStore& other) {
    baseValid_ = other.baseValid_ && other.generation_ == other.baseGeneration_;
    baseRacy_ = other.baseRacy_;
    baseStamp_ = other.baseStamp_;
    baseGeneration_ = generation_;
    knownValid_ = other.knownValid_;
    knownStamp_ = other.knownStamp_;
    knownSums_ = other.knownSums_;
}

bool TResultStore::GlobalsAreStored() const {
    return baseValid_ && !baseRacy_ && generation_ == baseGeneration_ &&
           StampOnDisk() == baseStamp_;
}

void TResultStore::RecordBase() {
    baseValid_ = true;
    baseStamp_ = StampNow(baseRacy_);
    baseGeneration_ = generation_;
    unsaved_ = false;
}

// Every save runs under the data folder's exclusive lock, so that no other
// save (of this process or another) comes between its read and its write.
// False, with the reason in SaveError, when there is nowhere to save or the
// lock cannot be had; otherwise what body returns.
template <class Body>
bool TResultStore::UnderSaveLock(Body&& body) {
    BeforeChanging();
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
    return body();
}

// The extra lists written out like the result files, each summed into sums.
bool TResultStore::WriteExtras(
    const TExtraLists& extras,
    std::vector<std::pair<std::string, std::unique_ptr<TAtomicFile>>>& written,
    TResultSetSums& sums) {
    for (const auto& [role, lines] : extras) {
        if (FindExtraFileKind(role) == nullptr) {
            continue;  // no kind: nothing could load it again
        }
        const std::string path = ExtraFile(role);
        auto file = std::make_unique<TAtomicFile>(path);
        TResultChecksum checksum;
        TResultLineCount lineCount;
        std::string piece;
        auto put = [&] {
            checksum.Feed(piece);
            lineCount.Feed(piece);
            const bool ok = file->Write(piece);
            piece.clear();
            return ok;
        };
        bool ok = file->Open();
        for (auto line = lines.begin(); ok && line != lines.end(); ++line) {
            piece.append(*line).append("\r\n");
            if (piece.size() >= kSavePiece) {
                ok = put();
            }
        }
        if (!ok || !put() || !file->Finish()) {
            return Fail(Reason(path));
        }
        sums.Extras[role] = TResultFileSum{lineCount.Lines(), checksum.Bytes(), checksum.Value()};
        written.emplace_back(path, std::move(file));
    }
    return true;
}

// Extra files of the drive that the set just stored does not hold would
// only be stale: the manifest no longer names them, so they go.
void TResultStore::RemoveStaleExtras(const TExtraLists& kept) {
    for (const TExtraFileKind& kind : ExtraFileKinds()) {
        if (kept.find(kind.Role) == kept.end()) {
            RemoveDataFile(ExtraFile(kind.Role));
        }
    }
}

bool TResultStore::SaveLocked(const TStringList& percents, const TStringList& dirs,
                              const TStringList& dirSizes, const TExtraLists& extras,
                              TReplacedSet* replaced, bool takeGlobals, bool* tookGlobals) {
    // Under the lock no other save is running: every temporary file of ours
    // is a leftover of a save that was killed.
    RemoveDataFiles(DataFolder, IsOwnTemporaryName);

    const std::array<std::string, 3> main = Files();
    const std::array<std::string, 3> kept = KeptFiles();
    // The files' sums are not read again when this object read or wrote
    // them and they have not changed since.
    const TWholeSet whole = FindWholeSet(
        SetFile, main, kept, [this](const std::string& role) { return ExtraFile(role); },
        KnownSums());
    knownValid_ = false;
    if (replaced != nullptr && whole.Where != TWholeSet::TWhere::None) {
        // The set replaced is the one on disk now, whoever saved it.
        replaced->Time = DataFileTime(SetFile);
        if (replaced->Time < 0) {
            replaced->Time = DataFileTime(DirsFile);
        }
        if (GlobalsAreStored() && takeGlobals) {
            replaced->Dirs = std::move(GlobalDirs);
            replaced->Sizes = std::move(GlobalDirSizes);
            replaced->Extras = std::move(GlobalExtras);
            replaced->Whole = true;
            *tookGlobals = true;
        } else if (GlobalsAreStored()) {
            replaced->Dirs = GlobalDirs;
            replaced->Sizes = GlobalDirSizes;
            replaced->Extras = GlobalExtras;
            replaced->Whole = true;
        } else {
            TStringList percentsBefore;
            std::string notice, refusal;
            replaced->Whole = LoadSetInto({&percentsBefore, &replaced->Dirs, &replaced->Sizes},
                                          &replaced->Extras, notice, refusal);
        }
        replaced->Whole = replaced->Whole && replaced->Time >= 0;
    }

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
    std::vector<std::pair<std::string, std::unique_ptr<TAtomicFile>>> writtenExtras;
    if (!WriteExtras(extras, writtenExtras, manifest.Current)) {
        return false;
    }
    Step(0);

    // When the manifest is renamed, the result files are the whole set it
    // records as the one before, and that set is kept under other names
    // too: a save cut off between the renames below leaves files that are
    // each of the new set or of that one, which the loader tells from files
    // changed outside the program, and falls back on the kept set.
    switch (whole.Where) {
        case TWholeSet::TWhere::Main:
            for (std::size_t i = 0; i < main.size(); ++i) {
                if (!KeepDataFileAs(main[i], kept[i])) {
                    return Fail(Reason(kept[i]));
                }
            }
            for (const std::string& role : whole.ExtrasInMain) {
                const std::string file = ExtraFile(role);
                if (!KeepDataFileAs(file, KeptName(file))) {
                    return Fail(Reason(KeptName(file)));
                }
            }
            break;
        case TWholeSet::TWhere::Kept:
            // The files left mixed by a save cut off earlier are made the
            // kept set again.
            for (std::size_t i = 0; i < main.size(); ++i) {
                if (whole.MainDiffers[i] && !KeepDataFileAs(kept[i], main[i])) {
                    return Fail(Reason(main[i]));
                }
            }
            // The set's extra files are its kept copies, found there by a
            // load too: nothing to restore.
            break;
        case TWholeSet::TWhere::None:
            break;
    }
    SyncDataFolder(DataFolder);
    Step(1);
    if (whole.Where != TWholeSet::TWhere::None) {
        manifest.HasPrevious = true;
        manifest.Previous = whole.Sums;
    }
    if (!WriteFileAtomically(SetFile, manifest.Text())) {
        return Fail(Reason(SetFile));
    }
    if (whole.Where == TWholeSet::TWhere::None) {
        // No whole set was there (a damaged manifest, a mix with nothing
        // kept): its files go once the new manifest is in place, so that a
        // save cut off part way cannot leave them mixed with new ones in a
        // way that reads as edited by hand.
        for (const std::string& file : main) {
            if (!RemoveDataFile(file)) {
                return Fail(Reason(file));
            }
        }
    }
    Step(2);
    // The extra files go first: until the three result files are renamed
    // the set loads as the one before, whose extra files are then taken
    // from the copies kept of them.
    for (auto& [path, file] : writtenExtras) {
        if (!file->Commit()) {
            return Fail(Reason(path));
        }
        Step(6);
    }
    for (std::size_t i = 0; i < written.size(); ++i) {
        if (!written[i]->Commit()) {
            return Fail(Reason(main[i]));
        }
        Step(3 + static_cast<int>(i));
    }
    RemoveStaleExtras(extras);
    RememberSums(manifest.Current.Files);
    return true;
}

bool TResultStore::SaveAnalizeData(const TStringList& dirs, const TStringList& dirSizes,
                                   const TStringList& percents, TReplacedSet* replaced,
                                   const TExtraLists& extras) {
    if (replaced == nullptr) {
        return UnderSaveLock([&] { return SaveLocked(percents, dirs, dirSizes, extras, nullptr); });
    }
    *replaced = TReplacedSet();
    return UnderSaveLock([&] {
        if (!SaveLocked(percents, dirs, dirSizes, extras, replaced)) {
            *replaced = TReplacedSet();
            return false;
        }
        return true;
    });
}

bool TResultStore::SaveAsGlobal(TStringList dirs, TStringList dirSizes, TStringList percents,
                                TReplacedSet* replaced, TExtraLists extras) {
    if (replaced != nullptr)
        *replaced = TReplacedSet();
    return UnderSaveLock([&] {
        // A save that fails or is stopped by an exception stored nothing: the
        // global lists moved out for the history go back, still the set on
        // disk, and no replaced set is told.
        struct TGiveBack {
            TResultStore& store;
            TReplacedSet* replaced;
            bool took = false;
            bool saved = false;
            ~TGiveBack() {
                if (saved || replaced == nullptr)
                    return;
                if (took) {
                    store.GlobalDirs = std::move(replaced->Dirs);
                    store.GlobalDirSizes = std::move(replaced->Sizes);
                    store.GlobalExtras = std::move(replaced->Extras);
                }
                *replaced = TReplacedSet();
            }
        } giveBack{*this, replaced};
        if (!SaveLocked(percents, dirs, dirSizes, extras, replaced, true, &giveBack.took)) {
            return false;
        }
        giveBack.saved = true;
        GlobalDirs = std::move(dirs);
        GlobalDirSizes = std::move(dirSizes);
        GlobalPercents = std::move(percents);
        GlobalExtras = std::move(extras);
        LoadNotice.clear();
        ++generation_;
        RecordBase();
        return true;
    });
}

bool TResultStore::SaveGlobalSLS() {
    return UnderSaveLock([&] {
        if (baseValid_ && StampOnDisk() != baseStamp_) {
            return Fail("the stored results of drive " + DriveLetter() +
                        ": were saved again since they were loaded, and older ones do not replace "
                        "them");
        }
        if (!SaveLocked(GlobalPercents, GlobalDirs, GlobalDirSizes, GlobalExtras, nullptr)) {
            return false;
        }
        RecordBase();
        return true;
    });
}

bool TResultStore::UpdateStoredSet(const TSetChange& change) {
    return UpdateStoredSetAndExtras([&change](TStringList& dirs, TStringList& sizes,
                                              TStringList& percents, TExtraLists& extras) {
        change(dirs, sizes, percents);
        extras.clear();
    });
}

bool TResultStore::UpdateStoredSetAndExtras(const TSetChangeWithExtras& change) {
    return UnderSaveLock([&] {
        // The change goes to copies, so that lists that cannot be stored leave
        // the global ones as they were.
        TStringList dirs, sizes, percents;
        TExtraLists extras;
        std::string notice;
        const bool reread = !baseValid_ || baseRacy_ || StampOnDisk() != baseStamp_;
        if (reread) {
            // Another save came in between: the change applies to what it stored.
            std::string refusal;
            if (!LoadSetInto({&percents, &dirs, &sizes}, &extras, notice, refusal)) {
                LoadNotice = RefusalText(refusal);
                return Fail(LoadNotice);
            }
        } else {
            dirs = GlobalDirs;
            sizes = GlobalDirSizes;
            percents = GlobalPercents;
            extras = GlobalExtras;
        }
        change(dirs, sizes, percents, extras);
        if (!SaveLocked(percents, dirs, sizes, extras, nullptr)) {
            return false;
        }
        GlobalDirs = std::move(dirs);
        GlobalDirSizes = std::move(sizes);
        GlobalPercents = std::move(percents);
        GlobalExtras = std::move(extras);
        if (reread) {
            LoadNotice = notice;
        }
        ++generation_;
        RecordBase();
        return true;
    });
}

void TResultStore::AppendAnalizeInfo(const TStringList& dirs, const TStringList& dirSizes,
                                     const TStringList& percents, const TExtraLists& extras) {
    BeforeChanging();
    if (GlobalSLSEmpty()) {
        return;
    }
    ++generation_;
    AppendRescanWithExtras(GlobalDirs, GlobalDirSizes, GlobalPercents, GlobalExtras, dirs, dirSizes,
                           percents, extras);
}

std::string TResultStore::DriveLetter() const {
    return PercentsFile.empty() ? std::string() : PercentsFile.substr(DataFolder.size(), 1);
}

std::string TResultStore::RefusalText(const std::string& why) const {
    const std::string drive =
        PercentsFile.empty() ? std::string("this drive") : "drive " + DriveLetter() + ":";
    return "The stored results of " + drive + " cannot be used: " + why + ".";
}

bool TResultStore::Refuse(const std::string& why) {
    CreateSLs();
    LoadNotice = RefusalText(why);
    return false;
}

void TResultStore::LoadExtras(const TResultSetSums& set, const TStringList& dirs,
                              TExtraLists& extras) const {
    extras.clear();
    for (const auto& [role, sum] : set.Extras) {
        const TExtraFileKind* kind = FindExtraFileKind(role);
        if (kind == nullptr) {
            continue;
        }
        // The set's own file, or the copy kept while a save that was cut
        // off replaced it.
        for (const std::string& path : {ExtraFile(role), KeptName(ExtraFile(role))}) {
            std::string bytes;
            if (!ReadDataFile(path, bytes, sum.Bytes)) {
                continue;
            }
            TResultChecksum checksum;
            TResultLineCount lines;
            checksum.Feed(bytes);
            lines.Feed(bytes);
            if (TResultFileSum{lines.Lines(), checksum.Bytes(), checksum.Value()} != sum) {
                continue;
            }
            TStringList list;
            SplitResultLines(bytes, list);
            if (!kind->Fits || kind->Fits(dirs, list)) {
                extras.emplace(role, std::move(list));
            }
            break;
        }
    }
}

bool TResultStore::LoadSetInto(std::array<TStringList*, 3> lists, TExtraLists* extras,
                               std::string& notice, std::string& refusal, TFileSums* mainSums,
                               bool* fromMain) {
    notice.clear();
    if (fromMain != nullptr) {
        *fromMain = false;
    }
    if (extras != nullptr) {
        extras->clear();
    }
    TFileSums sums;
    TListFaults faults;
    std::string failed;
    if (!LoadLists(Files(), kWholeFiles, lists, sums, faults, failed)) {
        refusal = DataFileProblem(failed, errno);
        return false;
    }
    TResultSetManifest manifest;
    const TManifestState state = ReadManifest(SetFile, manifest);
    if (state == TManifestState::Garbled) {
        refusal = SetFile + " is damaged, so the files cannot be checked";
        return false;
    }
    const TSetKind kind =
        state == TManifestState::Valid ? KindOf(manifest, sums) : TSetKind::Recorded;
    if (mainSums != nullptr) {
        *mainSums = sums;
    }
    const std::string drive = "drive " + DriveLetter() + ":";
    if (kind == TSetKind::Interrupted) {
        // A save was cut off between its renames: the set before it, kept whole.
        if (!LoadLists(KeptFiles(), LimitsOf(manifest.Previous), lists, sums, faults, failed) ||
            sums != manifest.Previous.Files) {
            refusal =
                "its files are a mix of two saves (the last one was cut off), and the results "
                "saved before it were not kept";
            return false;
        }
    }
    if (kind == TSetKind::Interrupted || kind == TSetKind::Previous) {
        notice = "The last save of the results of " + drive +
                 " was interrupted; the results saved before it are shown.";
    } else if (kind == TSetKind::Outside) {
        notice = "The result files of " + drive +
                 " were changed outside the program since they were last saved; they are used "
                 "as they are now.";
    }
    const std::string fault =
        ResultListsFault(*lists[0], *lists[1], *lists[2], faults,
                         TResultListNames{PercentsFile, DirsFile, DirSizesFile});
    if (!fault.empty()) {
        refusal = fault;
        return false;
    }
    // Extra files are only known for a set the manifest records; a set
    // changed outside the program or saved without a manifest has none.
    if (extras != nullptr && state == TManifestState::Valid && kind != TSetKind::Outside) {
        const bool before = kind == TSetKind::Interrupted || kind == TSetKind::Previous;
        LoadExtras(before ? manifest.Previous : manifest.Current, *lists[1], *extras);
    }
    if (fromMain != nullptr) {
        *fromMain = kind != TSetKind::Interrupted;
    }
    return true;
}

void TResultStore::PreloadDrive(std::string_view path) {
    preload_.reset();
    if (!DataFolder.empty() && !path.empty())
        preload_ = std::make_shared<TStoredSetPreload>(DataFolder, path);
}

void TResultStore::WaitForPreload() {
    if (preload_)
        preload_->Loaded();
}

bool TResultStore::TakePreloaded() {
    const std::shared_ptr<TStoredSetPreload> preload = std::move(preload_);
    if (!preload || !preload->Loaded())
        return false;
    TResultStore& loaded = preload->Store();
    if (loaded.DataFolder != DataFolder || loaded.PercentsFile != PercentsFile)
        return false;
    // Under the lock a load takes: the set it read is still the one stored
    // when its four files are as they were then (and were not written in
    // the tick their stamps were taken, when a later edit would not show).
    TDataFolderLock lock(DataFolder, TDataFolderLock::TMode::Shared);
    if (!loaded.baseValid_ || loaded.baseRacy_ || StampOnDisk() != loaded.baseStamp_)
        return false;
    GlobalPercents = std::move(loaded.GlobalPercents);
    GlobalDirs = std::move(loaded.GlobalDirs);
    GlobalDirSizes = std::move(loaded.GlobalDirSizes);
    // The extra files (allocated bytes, Discover data) belong to the same set.
    GlobalExtras = std::move(loaded.GlobalExtras);
    LoadNotice = loaded.LoadNotice;
    baseValid_ = true;
    baseRacy_ = false;
    baseStamp_ = loaded.baseStamp_;
    baseGeneration_ = generation_;
    // So are the sums it read, for the save that replaces the set.
    knownValid_ = loaded.knownValid_ && loaded.knownStamp_ == baseStamp_;
    knownStamp_ = loaded.knownStamp_;
    knownSums_ = loaded.knownSums_;
    return true;
}

bool TResultStore::LoadGlobal() {
    BeforeChanging();
    unsaved_ = false;
    LoadNotice.clear();
    ++generation_;
    baseValid_ = false;
    if (PercentsFile.empty()) {
        return Refuse(DataFolder.empty() ? (DataFolderProblem.empty() ? "there is no data folder"
                                                                      : DataFolderProblem)
                                         : "no drive is chosen");
    }
    tookPreload_ = TakePreloaded();
    if (tookPreload_)
        return true;
    TDataFolderLock lock(DataFolder, TDataFolderLock::TMode::Shared);
    std::string notice, refusal;
    const TStoredSetStamp before = StampOnDisk();
    TFileSums sums;
    bool fromMain = false;
    if (!LoadSetInto({&GlobalPercents, &GlobalDirs, &GlobalDirSizes}, &GlobalExtras, notice,
                     refusal, &sums, &fromMain)) {
        return Refuse(refusal);
    }
    if (fromMain) {
        // A save of these lists knows what it replaces without reading it.
        RememberSums(sums, &before);
    }
    LoadNotice = notice;
    RecordBase();
    return true;
}

std::string TResultStore::TakeLoadNotice() {
    if (LoadNotice.empty() || !told_.insert(LoadNotice).second) {
        return {};
    }
    return LoadNotice;
}

void TResultStore::GlobalsReplaced() {
    ++generation_;
    baseValid_ = false;
}

void TResultStore::LoadTree(TTreeLists& tree) const {
    tree.Percents = ShownPercents();
    tree.Dirs = GlobalDirs;
    tree.ShowBarCharts = true;
}

bool TResultStore::LoadData(TTreeLists& tree) {
    bool ok = LoadGlobal();
    LoadTree(tree);
    return ok;
}

void TResultStore::CreateSLs() {
    BeforeChanging();
    unsaved_ = false;
    ++generation_;
    baseValid_ = false;
    GlobalExtras.clear();
    GlobalDirs = {" "};
    GlobalDirSizes = {"0"};
    GlobalPercents = {"0"};
}

void TResultStore::FreeSLs() {
    BeforeChanging();
    unsaved_ = false;
    ++generation_;
    baseValid_ = false;
    GlobalExtras.clear();
    GlobalDirs.clear();
    GlobalDirSizes.clear();
    GlobalPercents.clear();
}

bool TResultStore::DiskUsageKnown() const {
    const auto it = GlobalExtras.find(kDiskSizesRole);
    return it != GlobalExtras.end() && it->second.size() == GlobalDirs.size();
}

void TResultStore::MakeDiskPercents() const {
    if (diskGeneration_ == generation_ && diskLength_ == GlobalDirs.size()) {
        return;
    }
    diskGeneration_ = generation_;
    diskLength_ = GlobalDirs.size();
    diskPercents_ = TStringList(GlobalDirs.size(), "0");
    unknownSizes_ = TStringList(GlobalDirs.size(), "0");
    if (!DiskUsageKnown()) {
        return;
    }
    TDirIndex index;
    BuildDirIndex(GlobalDirs, index);
    ComputePercents(GlobalDirs, GlobalExtras.find(kDiskSizesRole)->second, diskPercents_, index);
}

const TStringList& TResultStore::ShownSizes() const {
    if (!DiskUsage) {
        return GlobalDirSizes;
    }
    if (DiskUsageKnown()) {
        return GlobalExtras.find(kDiskSizesRole)->second;
    }
    MakeDiskPercents();
    return unknownSizes_;
}

const TStringList& TResultStore::ShownPercents() const {
    if (!DiskUsage) {
        return GlobalPercents;
    }
    MakeDiskPercents();
    return diskPercents_;
}

bool TResultStore::GlobalSLSEmpty() const {
    return GlobalDirs.empty() && GlobalDirSizes.empty() && GlobalPercents.empty();
}

bool TResultStore::SaveShownLists(const std::array<const TStringList*, 3>& lists,
                                  const TExtraLists& extras, TReplacedSet* replaced) {
    if (replaced != nullptr) {
        *replaced = TReplacedSet();
    }
    return UnderSaveLock([&] {
        bool took = false;
        if (!SaveLocked(*lists[0], *lists[1], *lists[2], extras, replaced, true, &took)) {
            if (replaced != nullptr) {
                *replaced = TReplacedSet();
            }
            return false;
        }
        RecordBase();
        return true;
    });
}

bool TResultStore::SaveShownRescan(const std::array<const TStringList*, 3>& lists,
                                   const TExtraLists& extras,
                                   const std::array<const TStringList*, 3>& rescan,
                                   const TExtraLists& rescanExtras, bool& remerged) {
    remerged = false;
    return UnderSaveLock([&] {
        if (GlobalsAreStored()) {
            // The lists shown were merged into the set that is still stored.
            if (!SaveLocked(*lists[0], *lists[1], *lists[2], extras, nullptr)) {
                return false;
            }
            RecordBase();
            return true;
        }
        // Another save came in between: the rescan goes into what it stored,
        // and those lists are then the ones to show.
        std::string notice, refusal;
        if (!LoadSetInto({&GlobalPercents, &GlobalDirs, &GlobalDirSizes}, &GlobalExtras, notice,
                         refusal)) {
            LoadNotice = RefusalText(refusal);
            return Fail(LoadNotice);
        }
        if (!GlobalSLSEmpty()) {
            AppendRescanWithExtras(GlobalDirs, GlobalDirSizes, GlobalPercents, GlobalExtras,
                                   *rescan[1], *rescan[2], *rescan[0], rescanExtras);
        }
        if (!SaveLocked(GlobalPercents, GlobalDirs, GlobalDirSizes, GlobalExtras, nullptr)) {
            return false;
        }
        remerged = true;
        LoadNotice = notice;
        RecordBase();
        return true;
    });
}
