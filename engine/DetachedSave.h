#pragma once
// The save of a scan's results while the window already shows them: the
// lists are shown at once, and the writing (and, for a drive scan, keeping
// the set it replaced in the drive's history) runs on another thread.
//
// Who owns which lists, when:
// - Begin... (the owner's thread): a drive scan's set becomes the store's
//   global set; a folder rescan is merged into it; an item command's change
//   waits for the worker (TResultStore::BeginDetachedSave,
//   BeginDetachedRescan, BeginDetachedChange). The store hands
//   back a store of the worker's own: the file names, the set before (the
//   set a drive scan may replace) and what was known of its set on disk.
//   The rescan's own set is kept here.
// - From then until Finish, the store's global set is read by both threads
//   and written by neither: the store's operations that report an outcome
//   wait for Finish first (the owner sets TResultStore::BeforeChange to do
//   so), and TResultStore::ReplaceGlobal queues behind it.
// - Run (the worker thread): reads the store's global set and nothing else
//   of the store; everything else it reads or writes is this object's.
// - Finish (the owner's thread, once Run has returned): the store takes the
//   outcome value (TResultStore::TakeDetachedOutcome): the stamp and sums of
//   the set now stored; or, when a rescan was merged into a newer set on
//   disk, that merged set, which replaces the global set; or the mark that
//   the lists shown were not stored. Replacements queued meanwhile follow.
#include <memory>
#include <string>

#include "engine/DetachedOutcome.h"
#include "engine/DriveScanSave.h"
#include "engine/ResultStore.h"
#include "engine/StoredSet.h"

class TDetachedSave {
  public:
    // The store has its files named for the scanned drive. The set becomes
    // the global one; the one before moves into the job (and, when it is the
    // set replaced, into the history).
    static std::unique_ptr<TDetachedSave> BeginDriveScan(TResultStore& store, TStoredSet set);
    // The rescan (the analyzer's set, the rescanned folder first) is merged
    // into the global set now, as AppendAnalizeInfo merges, and kept for a
    // merge into a newer set.
    static std::unique_ptr<TDetachedSave> BeginFolderRescan(TResultStore& store, TStoredSet rescan);
    // The change (what an item command did) is made on the worker's thread
    // to a copy of the global set (or to a newer set on disk), which is
    // stored and, at Finish, becomes the global set, stored or not. No save
    // may run (the owner queues the change behind one).
    static std::unique_ptr<TDetachedSave> BeginChange(TResultStore& store,
                                                      TResultStore::TSetChange change);

    // On the worker thread: stores the lists, then keeps the set a drive
    // scan replaced in the drive's history (under a lock of its own, after
    // the save's is released).
    void Run();
    // On the owner's thread after Run: see above. Once only.
    void Finish();

    // After Finish: the lists shown are what is stored.
    bool Saved() const { return saved_; }
    // Why the save failed (the store's SaveError of it).
    const std::string& Error() const { return error_; }
    // A rescan went into a newer set on disk, and the global set is now
    // what was stored: it is to be shown again.
    bool ShownAgain() const { return saved_ && remerged_; }
    bool DriveScan() const { return driveScan_; }
    // The save of an item command's change.
    bool Change() const { return static_cast<bool>(change_); }
    // A replaced set was handed to the drive's history; HistoryNote says
    // why it could not be kept, empty when it was.
    bool HistoryTried() const { return historyTried_; }
    const std::string& HistoryNote() const { return historyNote_; }

  private:
    TDetachedSave(TResultStore& store, bool driveScan);
    void Failed(const std::string& why);

    TResultStore& store_;
    // The worker's own store (see above).
    std::unique_ptr<TResultStore> worker_;
    bool driveScan_;
    TStoredSet rescan_;
    TResultStore::TSetChange change_;
    THistoryCopy copy_;
    TDetachedOutcome outcome_;
    bool saved_ = false;
    bool remerged_ = false;
    bool finished_ = false;
    bool historyTried_ = false;
    std::string error_;
    std::string historyNote_;
};
