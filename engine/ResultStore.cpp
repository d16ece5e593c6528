// The store's names, its loads, and the locked read-merge-write: every
// save runs under the data folder's exclusive lock, reads what it replaces
// under it, writes the new set (StoredSetWrite.h) and records what it now
// knows of the set on disk, so that a later save can tell whether the
// global set is still what is stored.
#include "engine/ResultStore.h"

#include <errno.h>

#include <cstring>
#include <utility>

#include "engine/StoredSetLoad.h"
#include "engine/StoredSetPreload.h"
#include "engine/StoredSetWrite.h"
#include "platform/DataFolder.h"
#include "platform/DataFolderLock.h"
#include "platform/HistoryFolder.h"

namespace {

std::string FailureReason(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

}  // namespace

TResultStore::TResultStore() {
    DataFolder = ::DataFolder(&DataFolderProblem);
}

TResultStore::TResultStore(std::string dataFolder) : DataFolder(std::move(dataFolder)) {}

void TResultStore::SetFiles(std::string_view path) {
    TStoredSetFiles files = TStoredSetFiles::For(DataFolder, path);
    DirsFile = std::move(files.Dirs);
    DirSizesFile = std::move(files.DirSizes);
    PercentsFile = std::move(files.Percents);
    SetFile = std::move(files.Set);
}

TStoredSetFiles TResultStore::Names() const {
    return TStoredSetFiles{DataFolder, PercentsFile, DirsFile, DirSizesFile, SetFile};
}

std::string TResultStore::ExtraFile(std::string_view role) const {
    return Names().Extra(role);
}

bool TResultStore::AnalizeFiExists() const {
    return Names().Exist();
}

bool TResultStore::Fail(const std::string& why) {
    SaveError = why;
    return false;
}

const TResultFileSums* TResultStore::KnownSums() const {
    return origin_.SumsValid && Names().StampOnDisk() == origin_.SumsStamp ? &origin_.Sums
                                                                           : nullptr;
}

void TResultStore::RememberSums(const TResultFileSums& sums) {
    bool racy = false;
    origin_.SumsStamp = Names().StampNow(racy);
    origin_.SumsValid = !racy;
    origin_.Sums = sums;
}

bool TResultStore::GlobalIsStored() const {
    return origin_.Valid && !origin_.Racy && generation_ == baseGeneration_ &&
           Names().StampOnDisk() == origin_.Stamp;
}

void TResultStore::RecordBase() {
    origin_.Valid = true;
    origin_.Stamp = Names().StampNow(origin_.Racy);
    baseGeneration_ = generation_;
    unsaved_ = false;
}

// Every save runs under the data folder's exclusive lock, so that no other
// save (of this process or another) comes between its read and its write.
// False, with the reason in SaveError, when there is nowhere to save or the
// lock cannot be had; otherwise what body returns.
bool TResultStore::UnderSaveLock(const std::function<bool()>& body) {
    BeforeChanging();
    SaveError.clear();
    if (PercentsFile.empty()) {
        return Fail(Names().Unnamed(DataFolderProblem));
    }
    TDataFolderLock lock(DataFolder, TDataFolderLock::TMode::Exclusive);
    if (!lock.Locked()) {
        return Fail(FailureReason(DataFolder));
    }
    return body();
}

void TResultStore::ReadReplaced(TReplacedSet& replaced, bool takeGlobal, bool* tookGlobal) {
    // The set replaced is the one on disk now, whoever saved it.
    replaced.Time = DataFileTime(SetFile);
    if (replaced.Time < 0) {
        replaced.Time = DataFileTime(DirsFile);
    }
    if (GlobalIsStored() && takeGlobal) {
        replaced.Lists = std::move(global_);
        replaced.Whole = true;
        *tookGlobal = true;
    } else if (GlobalIsStored()) {
        replaced.Lists = global_;
        replaced.Whole = true;
    } else {
        TSetRead read;
        replaced.Whole = ReadStoredSet(Names(), replaced.Lists, read);
    }
    replaced.Whole = replaced.Whole && replaced.Time >= 0;
}

bool TResultStore::SaveLocked(const TStoredSet& set, TReplacedSet* replaced, bool takeGlobal,
                              bool* tookGlobal) {
    // Under the lock no other save is running: every temporary file of ours
    // is a leftover of a save that was killed.
    RemoveDataFiles(DataFolder, IsOwnTemporaryName);
    const TStoredSetFiles files = Names();
    // The files' sums are not read again when this object read or wrote
    // them and they have not changed since.
    const TWholeSet whole = FindWholeSet(files, KnownSums());
    origin_.SumsValid = false;
    if (replaced != nullptr && whole.Where != TWholeSet::TWhere::None) {
        ReadReplaced(*replaced, takeGlobal, tookGlobal);
    }
    TResultFileSums sums;
    std::string error;
    if (!WriteStoredSet(files, set, whole, SaveStepHook, sums, error)) {
        return Fail(error);
    }
    RememberSums(sums);
    return true;
}

bool TResultStore::SaveAnalizeData(const TStoredSet& set, TReplacedSet* replaced) {
    if (replaced == nullptr) {
        return UnderSaveLock([&] { return SaveLocked(set, nullptr); });
    }
    *replaced = TReplacedSet();
    return UnderSaveLock([&] {
        if (!SaveLocked(set, replaced)) {
            *replaced = TReplacedSet();
            return false;
        }
        return true;
    });
}

bool TResultStore::SaveAsGlobal(TStoredSet set, TReplacedSet* replaced) {
    if (replaced != nullptr)
        *replaced = TReplacedSet();
    return UnderSaveLock([&] {
        // A save that fails or is stopped by an exception stored nothing: the
        // global set moved out for the history goes back, still the set on
        // disk, and no replaced set is told.
        struct TGiveBack {
            TResultStore& store;
            TReplacedSet* replaced;
            bool took = false;
            bool saved = false;
            ~TGiveBack() {
                if (saved || replaced == nullptr)
                    return;
                if (took)
                    store.global_ = std::move(replaced->Lists);
                *replaced = TReplacedSet();
            }
        } giveBack{*this, replaced};
        if (!SaveLocked(set, replaced, true, &giveBack.took)) {
            return false;
        }
        giveBack.saved = true;
        Install(std::move(set));
        LoadNotice.clear();
        RecordBase();
        return true;
    });
}

bool TResultStore::SaveGlobalSLS() {
    return UnderSaveLock([&] {
        if (origin_.Valid && Names().StampOnDisk() != origin_.Stamp) {
            return Fail("the stored results of drive " + Names().DriveLetter() +
                        ": were saved again since they were loaded, and older ones do not replace "
                        "them");
        }
        if (!SaveLocked(global_, nullptr)) {
            return false;
        }
        RecordBase();
        return true;
    });
}

bool TResultStore::UpdateStoredSet(const TSetChange& change) {
    return UnderSaveLock([&] {
        // The change goes to a copy, so that lists that cannot be stored
        // leave the global set as it was.
        TStoredSet set;
        TSetRead read;
        // Lists whose save failed are the newest the user has: the change
        // is made to them, never to the older set on disk.
        const bool reread =
            !unsaved_ && (!origin_.Valid || origin_.Racy || Names().StampOnDisk() != origin_.Stamp);
        if (reread) {
            // Another save came in between: the change applies to what it stored.
            if (!ReadStoredSet(Names(), set, read)) {
                LoadNotice = RefusalText(read.Refusal);
                return Fail(LoadNotice);
            }
        } else {
            set = global_;
        }
        change(set);
        if (!SaveLocked(set, nullptr)) {
            return false;
        }
        Install(std::move(set));
        if (reread) {
            LoadNotice = read.Notice;
        }
        RecordBase();
        return true;
    });
}

std::string TResultStore::RefusalText(const std::string& why) const {
    const std::string drive =
        PercentsFile.empty() ? std::string("this drive") : "drive " + Names().DriveLetter() + ":";
    return "The stored results of " + drive + " cannot be used: " + why + ".";
}

bool TResultStore::Refuse(const std::string& why) {
    CreateSLs();
    LoadNotice = RefusalText(why);
    return false;
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
    TLoadedSet* loaded = preload ? preload->Loaded() : nullptr;
    if (loaded == nullptr)
        return false;
    if (loaded->Files.DataFolder != DataFolder || loaded->Files.Percents != PercentsFile)
        return false;
    // Under the lock a load takes: the set it read is still the one stored
    // when its four files are as they were then (and were not written in
    // the tick their stamps were taken, when a later edit would not show).
    TDataFolderLock lock(DataFolder, TDataFolderLock::TMode::Shared);
    if (!loaded->Origin.Valid || loaded->Origin.Racy ||
        Names().StampOnDisk() != loaded->Origin.Stamp)
        return false;
    // The extra files (allocated bytes, Discover data) belong to the same
    // set, and so do the sums it read, for the save that replaces it.
    loaded->Origin.SumsValid =
        loaded->Origin.SumsValid && loaded->Origin.SumsStamp == loaded->Origin.Stamp;
    loaded->FromMain = true;
    TakeLoaded(*loaded);
    return true;
}

void TResultStore::TakeLoaded(TLoadedSet& loaded) {
    global_ = std::move(loaded.Set);
    LoadNotice = loaded.Notice;
    if (loaded.FromMain) {
        origin_.SumsValid = loaded.Origin.SumsValid;
        origin_.SumsStamp = loaded.Origin.SumsStamp;
        origin_.Sums = loaded.Origin.Sums;
    }
    origin_.Valid = true;
    origin_.Racy = loaded.Origin.Racy;
    origin_.Stamp = loaded.Origin.Stamp;
    baseGeneration_ = generation_;
    unsaved_ = false;
}

bool TResultStore::LoadGlobal() {
    BeforeChanging();
    unsaved_ = false;
    LoadNotice.clear();
    ++generation_;
    origin_.Valid = false;
    if (PercentsFile.empty()) {
        return Refuse(Names().Unnamed(DataFolderProblem));
    }
    tookPreload_ = TakePreloaded();
    if (tookPreload_)
        return true;
    // Read into the global set's own buffers, as large as the set before.
    TLoadedSet loaded;
    loaded.Set = std::move(global_);
    std::string refusal;
    if (!LoadStoredSet(Names(), loaded, refusal)) {
        return Refuse(refusal);
    }
    TakeLoaded(loaded);
    return true;
}

std::string TResultStore::TakeLoadNotice() {
    if (LoadNotice.empty() || !told_.insert(LoadNotice).second) {
        return {};
    }
    return LoadNotice;
}

bool TResultStore::LoadData(TTreeLists& tree) {
    bool ok = LoadGlobal();
    LoadTree(tree);
    return ok;
}
