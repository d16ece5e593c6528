// The store's side of a save that runs behind the views (TDetachedSave): the
// global set is shown at once and stored on another thread by a store of
// the worker's own; the outcome comes back as a value the store takes on
// the owner's thread, after which the replacements queued meanwhile are
// made. No other object reaches the store's private state.
#include "engine/ExtraRescan.h"
#include "engine/ResultStore.h"
#include "engine/StoredSetLoad.h"

namespace {

// The worker's lists are freed on the worker's thread when its save ends
// (also by an exception), not later on the owner's.
struct TFreeOnExit {
    TStoredSet& Set;
    ~TFreeOnExit() { Set = TStoredSet(); }
};

}  // namespace

std::unique_ptr<TResultStore> TResultStore::WorkerStore() const {
    auto worker = std::make_unique<TResultStore>(DataFolder);
    worker->DataFolderProblem = DataFolderProblem;
    worker->DirsFile = DirsFile;
    worker->DirSizesFile = DirSizesFile;
    worker->PercentsFile = PercentsFile;
    worker->SetFile = SetFile;
    worker->SaveStepHook = SaveStepHook;
    // The set on disk the global set was loaded or saved as, as if the
    // worker's lists were it.
    worker->origin_ = origin_;
    worker->origin_.Valid = origin_.Valid && generation_ == baseGeneration_;
    worker->baseGeneration_ = worker->generation_;
    worker->shownNewest_ = unsaved_;
    return worker;
}

std::unique_ptr<TResultStore> TResultStore::BeginDetachedSave(TStoredSet set) {
    BeforeChanging();
    std::unique_ptr<TResultStore> worker = WorkerStore();
    // The set before may be the set the save replaces: kept without a copy.
    worker->global_ = std::move(global_);
    global_ = std::move(set);
    LoadNotice.clear();
    ++generation_;
    origin_.Valid = false;  // not stored until the outcome says so
    detached_ = true;
    return worker;
}

std::unique_ptr<TResultStore> TResultStore::BeginDetachedRescan(const TStoredSet& rescan) {
    BeforeChanging();
    std::unique_ptr<TResultStore> worker = WorkerStore();
    if (!GlobalSLSEmpty())
        AppendRescanWithExtras(global_, rescan);
    ++generation_;
    origin_.Valid = false;
    detached_ = true;
    return worker;
}

std::unique_ptr<TResultStore> TResultStore::BeginDetachedChange() {
    BeforeChanging();
    std::unique_ptr<TResultStore> worker = WorkerStore();
    detached_ = true;
    return worker;
}

TDetachedOutcome TResultStore::Outcome(bool saved) {
    TDetachedOutcome outcome;
    outcome.Saved = saved;
    outcome.Error = SaveError;
    outcome.LoadNotice = LoadNotice;
    outcome.Origin = origin_;
    return outcome;
}

TDetachedOutcome TResultStore::SaveShown(const TStoredSet& shown, TReplacedSet* replaced) {
    TFreeOnExit lists{global_};
    if (replaced != nullptr) {
        *replaced = TReplacedSet();
    }
    const bool saved = UnderSaveLock([&] {
        bool took = false;
        if (!SaveLocked(shown, replaced, true, &took)) {
            if (replaced != nullptr) {
                *replaced = TReplacedSet();
            }
            return false;
        }
        RecordBase();
        return true;
    });
    return Outcome(saved);
}

TDetachedOutcome TResultStore::SaveShownRescan(const TStoredSet& shown, const TStoredSet& rescan) {
    return SaveShownOrRedo(
        shown,
        [&rescan](TStoredSet& set) {
            if (!set.Empty())
                AppendRescanWithExtras(set, rescan);
        },
        false);
}

TDetachedOutcome TResultStore::SaveShownChange(const TStoredSet& shown, const TSetChange& change) {
    return SaveShownOrRedo(shown, change, true);
}

TDetachedOutcome TResultStore::SaveShownOrRedo(const TStoredSet& shown, const TSetChange& redo,
                                               bool redoShown) {
    TFreeOnExit lists{global_};
    bool redone = false;
    const bool saved = UnderSaveLock([&] {
        // The lists shown hold when they are still the set on disk or the
        // newest the user has (their own save failed); otherwise the set
        // another save stored meanwhile is the one to redo.
        const bool shownHolds = GlobalIsStored() || shownNewest_;
        if (shownHolds && !redoShown) {
            if (!SaveLocked(shown, nullptr)) {
                return false;
            }
            RecordBase();
            return true;
        }
        TSetRead read;
        if (shownHolds) {
            // A shared copy: the texts the change touches are copied here,
            // not on the owner's thread.
            global_ = shown;
        } else if (!ReadStoredSet(Names(), global_, read)) {
            LoadNotice = RefusalText(read.Refusal);
            return Fail(LoadNotice);
        }
        redo(global_);
        redone = true;
        if (!SaveLocked(global_, nullptr)) {
            return false;
        }
        LoadNotice = read.Notice;
        RecordBase();
        return true;
    });
    TDetachedOutcome outcome = Outcome(saved);
    // A change is shown stored or not; a rescan redone on a newer set only
    // once that set is stored.
    if (redone && (redoShown || saved)) {
        outcome.Changed = redoShown;
        outcome.Remerged = !redoShown;
        outcome.Shown = std::move(global_);
    }
    return outcome;
}

void TResultStore::TakeDetachedOutcome(TDetachedOutcome outcome) {
    detached_ = false;
    SaveError = outcome.Error;
    if (!outcome.Saved) {
        // A change made to the lists is shown all the same: the newest
        // lists the user has, marked as not stored.
        if (outcome.Changed)
            Install(std::move(outcome.Shown));
        origin_.Valid = false;
        unsaved_ = true;
        LoadNotice = outcome.LoadNotice;
    } else {
        if (outcome.Remerged || outcome.Changed) {
            Install(std::move(outcome.Shown));
            LoadNotice = outcome.LoadNotice;
        }
        // What the worker stored is what the global set holds.
        origin_ = outcome.Origin;
        origin_.Valid = true;
        baseGeneration_ = generation_;
        unsaved_ = false;
    }
    // Queued behind the save, made now in the order asked.
    auto queued = std::move(queued_);
    queued_.clear();
    for (auto& [set, applied] : queued)
        ReplaceGlobal(std::move(set), std::move(applied));
}
