#pragma once
// The save of a scan's results while the window already shows them: the
// lists are shown at once, and the writing (and, for a drive scan, keeping
// the set it replaced in the drive's history) runs on another thread.
//
// Who owns which lists, when:
// - Begin... (the owner's thread, while no other save of the store runs):
//   a drive scan's lists become the store's global lists (its extra lists
//   the store's GlobalExtras); a folder rescan is merged into them. Everything
//   else the save needs is moved or copied into this object: the lists
//   before with their extra lists (the set a drive scan may replace), the
//   stamp and sums of the set on disk they were, the file names, the
//   rescan's own lists and extra lists.
// - From then until Finish, the store's global lists (GlobalExtras
//   included) are read by both
//   threads and written by neither. Every change through the store waits
//   for Finish first (the owner sets TResultStore::BeforeChange to do so);
//   code that writes the lists directly calls TResultStore::SettleSave.
// - Run (the worker thread): reads the store's global lists and nothing
//   else of the store; everything else it reads or writes is this object's.
// - Finish (the owner's thread, once Run has returned): the store takes
//   the outcome: the stamp and sums of the set now stored; or, when a
//   rescan was merged into a newer set on disk, those merged lists, which
//   replace the global lists; or the mark that the lists shown were not
//   stored.
#include <array>
#include <memory>
#include <string>

#include "engine/DriveScanSave.h"
#include "engine/ResultStore.h"
#include "engine/StringList.h"

class TDetachedSave {
  public:
    // The store has its files named for the scanned drive. The lists and
    // their extra lists become the global ones; the ones before move into
    // the job (and, when they are the set replaced, into the history).
    static std::unique_ptr<TDetachedSave> BeginDriveScan(TResultStore& store, TStringList dirs,
                                                         TStringList dirSizes, TStringList percents,
                                                         TExtraLists extras = {});
    // The rescan (the analyzer's lists, the rescanned folder first, and its
    // extra lists) is merged into the global lists now, as AppendAnalizeInfo
    // merges, and kept for a merge into a newer set.
    static std::unique_ptr<TDetachedSave> BeginFolderRescan(TResultStore& store, TStringList dirs,
                                                            TStringList dirSizes,
                                                            TStringList percents,
                                                            TExtraLists extras = {});

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
    // A rescan went into a newer set on disk, and the global lists are now
    // what was stored: they are to be shown again.
    bool ShownAgain() const { return saved_ && remerged_; }
    bool DriveScan() const { return driveScan_; }
    // A replaced set was handed to the drive's history; HistoryNote says
    // why it could not be kept, empty when it was.
    bool HistoryTried() const { return historyTried_; }
    const std::string& HistoryNote() const { return historyNote_; }

  private:
    TDetachedSave(TResultStore& store, bool driveScan);
    std::array<const TStringList*, 3> Shown() const;
    void Failed(const std::string& why);

    TResultStore& store_;
    // The worker's own store: the data folder and file names as they were
    // at Begin, the base of the lists before and, for a drive scan, those
    // lists (moved into the history copy when they are the set replaced).
    TResultStore worker_;
    bool driveScan_;
    TStringList rescanDirs_, rescanSizes_, rescanPercents_;
    TExtraLists rescanExtras_;
    THistoryCopy copy_;
    bool saved_ = false;
    bool remerged_ = false;
    bool finished_ = false;
    bool historyTried_ = false;
    std::string error_;
    std::string historyNote_;
};
