#include "engine/DetachedSave.h"

#include <exception>
#include <new>

#include "engine/ExtraRescan.h"

TDetachedSave::TDetachedSave(TResultStore& store, bool driveScan)
    : store_(store), worker_(store.DataFolder), driveScan_(driveScan) {
    worker_.DataFolderProblem = store.DataFolderProblem;
    worker_.DirsFile = store.DirsFile;
    worker_.DirSizesFile = store.DirSizesFile;
    worker_.PercentsFile = store.PercentsFile;
    worker_.SetFile = store.SetFile;
    worker_.SaveStepHook = store.SaveStepHook;
    worker_.AdoptBaseOf(store);
}

std::array<const TStringList*, 3> TDetachedSave::Shown() const {
    return {&store_.GlobalPercents, &store_.GlobalDirs, &store_.GlobalDirSizes};
}

std::unique_ptr<TDetachedSave> TDetachedSave::BeginDriveScan(TResultStore& store, TStringList dirs,
                                                             TStringList dirSizes,
                                                             TStringList percents,
                                                             TExtraLists extras) {
    store.SettleSave();
    std::unique_ptr<TDetachedSave> job(new TDetachedSave(store, true));
    job->copy_ = HistoryCopyFor(store);
    // The lists before may be the set the save replaces: kept without a copy.
    job->worker_.GlobalDirs = std::move(store.GlobalDirs);
    job->worker_.GlobalDirSizes = std::move(store.GlobalDirSizes);
    job->worker_.GlobalPercents = std::move(store.GlobalPercents);
    job->worker_.GlobalExtras = std::move(store.GlobalExtras);
    store.GlobalDirs = std::move(dirs);
    store.GlobalDirSizes = std::move(dirSizes);
    store.GlobalPercents = std::move(percents);
    store.GlobalExtras = std::move(extras);
    store.LoadNotice.clear();
    ++store.generation_;
    store.baseValid_ = false;  // not stored until Finish says so
    return job;
}

std::unique_ptr<TDetachedSave> TDetachedSave::BeginFolderRescan(TResultStore& store,
                                                                TStringList dirs,
                                                                TStringList dirSizes,
                                                                TStringList percents,
                                                                TExtraLists extras) {
    store.SettleSave();
    std::unique_ptr<TDetachedSave> job(new TDetachedSave(store, false));
    if (!store.GlobalSLSEmpty())
        AppendRescanWithExtras(store.GlobalDirs, store.GlobalDirSizes, store.GlobalPercents,
                               store.GlobalExtras, dirs, dirSizes, percents, extras);
    job->rescanDirs_ = std::move(dirs);
    job->rescanSizes_ = std::move(dirSizes);
    job->rescanPercents_ = std::move(percents);
    job->rescanExtras_ = std::move(extras);
    ++store.generation_;
    store.baseValid_ = false;
    return job;
}

void TDetachedSave::Run() {
    try {
        if (driveScan_) {
            saved_ = worker_.SaveShownLists(Shown(), store_.GlobalExtras,
                                            copy_.Drive ? &copy_.Set : nullptr);
        } else {
            saved_ = worker_.SaveShownRescan(Shown(), store_.GlobalExtras,
                                             {&rescanPercents_, &rescanDirs_, &rescanSizes_},
                                             rescanExtras_, remerged_);
        }
        error_ = worker_.SaveError;
    } catch (const std::bad_alloc&) {
        Failed("there is not enough memory");
    } catch (const std::exception& e) {
        Failed(e.what());
    }
    if (!saved_ || !remerged_) {
        // The lists before are not needed any more: freed here, not on the
        // owner's thread.
        worker_.GlobalDirs = TStringList();
        worker_.GlobalDirSizes = TStringList();
        worker_.GlobalPercents = TStringList();
        worker_.GlobalExtras = TExtraLists();
    }
    if (saved_ && copy_.Set.Whole) {
        historyTried_ = true;
        try {
            historyNote_ = KeepInHistory(copy_);
        } catch (const std::exception& e) {
            historyNote_ = std::string(
                               "The results before this scan could not be kept for "
                               "comparison: ") +
                           e.what() + ".";
        }
    }
    copy_ = THistoryCopy();
}

void TDetachedSave::Failed(const std::string& why) {
    saved_ = false;
    remerged_ = false;
    error_ = why;
}

void TDetachedSave::Finish() {
    if (finished_)
        return;
    finished_ = true;
    store_.SaveError = error_;
    if (!saved_) {
        store_.baseValid_ = false;
        store_.unsaved_ = true;
        store_.LoadNotice = worker_.LoadNotice;
        return;
    }
    if (remerged_) {
        store_.GlobalDirs = std::move(worker_.GlobalDirs);
        store_.GlobalDirSizes = std::move(worker_.GlobalDirSizes);
        store_.GlobalPercents = std::move(worker_.GlobalPercents);
        store_.GlobalExtras = std::move(worker_.GlobalExtras);
        ++store_.generation_;
        store_.LoadNotice = worker_.LoadNotice;
    }
    // What the worker stored is what the global lists hold.
    store_.baseValid_ = true;
    store_.baseRacy_ = worker_.baseRacy_;
    store_.baseStamp_ = worker_.baseStamp_;
    store_.baseGeneration_ = store_.generation_;
    store_.knownValid_ = worker_.knownValid_;
    store_.knownStamp_ = worker_.knownStamp_;
    store_.knownSums_ = worker_.knownSums_;
    store_.unsaved_ = false;
}
