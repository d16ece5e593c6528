#include "engine/DetachedSave.h"

#include <exception>
#include <new>

TDetachedSave::TDetachedSave(TResultStore& store, bool driveScan)
    : store_(store), driveScan_(driveScan) {}

std::unique_ptr<TDetachedSave> TDetachedSave::BeginDriveScan(TResultStore& store, TStoredSet set) {
    std::unique_ptr<TDetachedSave> job(new TDetachedSave(store, true));
    store.WaitUntilNoSaveRuns();
    job->copy_ = HistoryCopyFor(store);
    job->worker_ = store.BeginDetachedSave(std::move(set));
    return job;
}

std::unique_ptr<TDetachedSave> TDetachedSave::BeginFolderRescan(TResultStore& store,
                                                                TStoredSet rescan) {
    std::unique_ptr<TDetachedSave> job(new TDetachedSave(store, false));
    job->worker_ = store.BeginDetachedRescan(rescan);
    job->rescan_ = std::move(rescan);
    return job;
}

std::unique_ptr<TDetachedSave> TDetachedSave::BeginChange(TResultStore& store,
                                                          TResultStore::TSetChange change) {
    std::unique_ptr<TDetachedSave> job(new TDetachedSave(store, false));
    job->worker_ = store.BeginDetachedChange();
    job->change_ = std::move(change);
    return job;
}

void TDetachedSave::Run() {
    try {
        if (driveScan_)
            outcome_ = worker_->SaveShown(store_.Global(), copy_.Drive ? &copy_.Set : nullptr);
        else if (change_)
            outcome_ = worker_->SaveShownChange(store_.Global(), change_);
        else
            outcome_ = worker_->SaveShownRescan(store_.Global(), rescan_);
        saved_ = outcome_.Saved;
        remerged_ = outcome_.Remerged;
        error_ = outcome_.Error;
    } catch (const std::bad_alloc&) {
        Failed("there is not enough memory");
    } catch (const std::exception& e) {
        Failed(e.what());
    } catch (...) {
        Failed("it stopped on an unknown error");
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
        } catch (...) {
            historyNote_ = "The results before this scan could not be kept for comparison.";
        }
    }
    copy_ = THistoryCopy();
}

void TDetachedSave::Failed(const std::string& why) {
    saved_ = false;
    remerged_ = false;
    error_ = why;
    outcome_ = TDetachedOutcome();
    outcome_.Error = why;
    outcome_.LoadNotice = worker_->LoadNotice;
}

void TDetachedSave::Finish() {
    if (finished_)
        return;
    finished_ = true;
    store_.TakeDetachedOutcome(std::move(outcome_));
}
