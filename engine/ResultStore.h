#pragma once
// The stored analysis of a drive: its result files in the data folder and
// the global set, the current drive's analysis in memory (StoredSet.h).
// A plain object without any window: the main window owns one and calls
// these operations; command-line tools can do the same.
//
// The global set is read through const access only; it changes only
// through the operations below, so that none can write it under a save
// that reads it on another thread. The store's work is split by what it
// does: ResultStore.cpp (names, loads, the locked read-merge-write),
// ResultStoreGlobal.cpp (the global set and what the views derive from it),
// ResultStoreDetached.cpp (the save behind the views); the files themselves
// are read by StoredSetLoad and written by StoredSetWrite.
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/DetachedOutcome.h"
#include "engine/ExtraLists.h"
#include "engine/StoredSet.h"
#include "engine/StoredSetFiles.h"
#include "engine/StoredSetStamp.h"
#include "engine/StringList.h"

class TStoredSetPreload;
struct TLoadedSet;

// The folder tree's own copies of two global lists, as LoadTree hands them
// over, and whether the tree shows its size bars.
struct TTreeLists {
    TStringList Percents;
    TStringList Dirs;
    bool ShowBarCharts = false;
};

// The set a drive scan's save replaced, read under the same lock as the
// save wrote: what was really there, not what was there when the scan began.
struct TReplacedSet {
    bool Whole = false;      // a set that loads was there and was replaced
    TStoredSet Lists;        // its lists, the extra lists included
    std::int64_t Time = -1;  // when it was saved, seconds since 1970
};

class TResultStore {
  public:
    // The data folder of the platform (created when missing).
    TResultStore();
    // A given data folder, "" or ending in "/" (tests, tools).
    explicit TResultStore(std::string dataFolder);

    // The global set: before any drive is loaded each result list holds one
    // entry. An extra role that is missing is not known for it.
    const TStoredSet& Global() const { return global_; }
    const TStringList& GlobalDirs() const { return global_.Dirs; }
    const TStringList& GlobalDirSizes() const { return global_.Sizes; }
    const TStringList& GlobalPercents() const { return global_.Percents; }
    const TExtraLists& GlobalExtras() const { return global_.Extras; }

    // The global set replaced by one its owner made (an opened scan, a
    // tool's scan in memory): nothing stored is known of it. While a save of
    // the global set runs on another thread (BeginDetachedSave), the
    // replacement is queued, so that the window's thread does not wait, and
    // made when that save's outcome is taken (TakeDetachedOutcome, on the
    // owner's thread); otherwise at once. Replacements are made in the order
    // asked. applied runs right after its replacement is made, on the thread
    // that made it: callers that show the lists do it there. True when the
    // replacement was made at once.
    bool ReplaceGlobal(TStoredSet set, std::function<void()> applied = {});
    // Replacements queued behind the running save.
    std::size_t QueuedReplacements() const { return queued_.size(); }
    // The applied callbacks of queued replacements are dropped (the owner
    // that would show them is going); the replacements are still made.
    void DropReplacementCallbacks();

    // Which size the views show. Off (at every start): the file sizes, the
    // global lists themselves. On: the allocated bytes (DiskSizes) and their
    // shares, computed from them as a scan computes the stored ones; while
    // they are not known the views show no sizes at all (zeros).
    bool DiskUsage = false;
    // Whether the global set holds the allocated bytes of its folders.
    bool DiskUsageKnown() const;
    // The sizes and shares the views use, parallel to GlobalDirs.
    const TStringList& ShownSizes() const;
    const TStringList& ShownPercents() const;

    // Folder of the result files, with its trailing "/"; empty when there is
    // none, and then nothing is ever read or written.
    std::string DataFolder;
    // Why the platform's data folder cannot be used; empty when it can.
    std::string DataFolderProblem;
    // The three result files of the current drive; empty until SetFiles.
    std::string DirsFile;
    std::string DirSizesFile;
    std::string PercentsFile;
    // The manifest of the current drive's set ("CSet"), saved after the
    // three files: it tells a whole set from a save cut off part way.
    std::string SetFile;

    // Names the result files after the first character of path (the drive
    // letter of a drive-form path, "C:\Data" gives CDirs, CDirSizes,
    // CPercents, CSet). An empty path or an empty DataFolder leaves no names,
    // so nothing is read or written.
    void SetFiles(std::string_view path);
    // The file of an extra list of the current drive ("CDiskSizes"); empty
    // when no files are named.
    std::string ExtraFile(std::string_view role) const;
    // True when all three result files of the current drive exist.
    bool AnalizeFiExists() const;

    // Writes a set (the analyzer's lists with their extra lists) to the
    // result files of the current drive, replacing them as a set: the earlier
    // whole set is kept beside them until the manifest names the new one, so
    // a load after a crash at any point finds the old set or the new one.
    // Temporary files that killed saves left in the data folder are removed.
    // False, with the reason in SaveError, when the new set was not stored.
    // With replaced, the set replaced is read under the same lock as the
    // save (the global set is taken when it is that set, unchanged).
    // Extra files of the drive that the new set lacks are removed.
    bool SaveAnalizeData(const TStoredSet& set, TReplacedSet* replaced = nullptr);
    // SaveAnalizeData, after which the global set is the set just stored,
    // taken over under the save's lock instead of read back: what was
    // written is what it holds. A failed save leaves the global set (and
    // the argument, once moved in, is dropped) as before.
    bool SaveAsGlobal(TStoredSet set, TReplacedSet* replaced = nullptr);
    // Runs change on the stored set of the current drive and stores the
    // result, all under one exclusive lock of the data folder, so that no
    // other save (of this process or another) comes between the read and the
    // write. The set is the global set when it is still what is stored
    // (nothing saved since it was loaded or saved here) or when its own save
    // failed (ListsUnsaved: the newest lists the user has); otherwise the
    // set on disk, loaded first. Afterwards the global set is what was stored.
    // False, with the reason in SaveError (and LoadNotice when the stored set
    // could not be used), when nothing was stored; the global set is then as
    // before. The change gets every list of the set; one that cannot keep an
    // extra list true drops it (TStoredSet::DropExtra, DropExtras): not
    // known until the next scan.
    using TSetChange = std::function<void(TStoredSet& set)>;
    bool UpdateStoredSet(const TSetChange& change);
    // Merges the analysis of a folder rescan (the analyzer's set, the
    // rescanned folder first) into the global set, so that it holds what a
    // scan of the whole drive would: the folders below it replaced by the
    // rescanned ones, its ancestors' sizes carrying its change, the shares
    // under every changed folder computed anew (see MergeRescan). Lists not
    // in the sorted form a scan stores are only updated in place: each
    // rescanned folder that is stored (exact path, drive letter in any case)
    // gets its new size, and its new share unless it is the rescanned folder.
    // The global extra lists follow by their kinds' merges (ExtraRescan.h);
    // those the rescan lacks are dropped.
    void AppendAnalizeInfo(const TStoredSet& rescan);
    // Writes the global set to the result files, as SaveAnalizeData does,
    // unless the stored set has changed since it was loaded or saved (by
    // another save): false then, and older lists never replace a newer set.
    bool SaveGlobalSLS();

    // Replaces the global set with the set stored for the current drive
    // (StoredSetLoad.h: the set the manifest names, or the whole set kept
    // from before a save that was cut off, or files changed outside the
    // program used as they are; LoadNotice says which). A set that cannot be
    // trusted is not used: the lists get their initial entries, LoadNotice
    // says which file and line, and the result is false. A set saved
    // without a manifest (by an earlier version) loads when its lists can
    // be trusted.
    bool LoadGlobal();
    // Copies the shown shares (ShownPercents) and GlobalDirs into the tree's
    // lists and turns its size bars on.
    void LoadTree(TTreeLists& tree) const;
    // LoadGlobal, then LoadTree.
    bool LoadData(TTreeLists& tree);

    // Counts up whenever the global lists may have changed (a load, a merge,
    // new or freed lists), so that what is derived from them (the change
    // view's comparison) can tell when to derive it again.
    std::uint64_t Generation() const { return generation_; }

    // The global set with its initial single entries.
    void CreateSLs();
    // The global set emptied.
    void FreeSLs();
    // True when all three global lists are empty.
    bool GlobalSLSEmpty() const { return global_.Empty(); }

    // Why the last save failed; empty after a successful one.
    std::string SaveError;
    // What the user should be told about the last load: a set that was
    // refused or replaced by the one before it. Empty when it loaded as saved.
    std::string LoadNotice;
    // Starts reading the stored set of path's drive on a thread of its own.
    // The next LoadGlobal of that drive waits for it and takes its lists
    // when the set on disk is still the one it read; otherwise (another
    // drive, a set saved meanwhile, a read that failed) it reads the files
    // itself as without.
    void PreloadDrive(std::string_view path);
    // Waits until the preload started (if any) has read its set.
    void WaitForPreload();
    // Whether the last LoadGlobal took the lists a preload read.
    bool TookPreload() const { return tookPreload_; }

    // LoadNotice the first time this text comes up in this process, so that
    // a refused set is reported once and not at every visit of its drive;
    // empty otherwise.
    std::string TakeLoadNotice();

    // Runs after each step of a save: 0 the new files written out, 1 the
    // earlier set kept, 2 the manifest renamed, 3 to 5 each result file
    // renamed, 6 on each extra file renamed (between 1 and 2). Tests stop a
    // save there as a crash would. A save of the global set on another
    // thread (TDetachedSave) runs it on that thread.
    std::function<void(int step)> SaveStepHook;

    // Runs first in every operation of this object that reads the stored
    // set or changes the global set and reports its outcome when it returns
    // (a load, a save, a merge, new or freed lists, a detached save begun):
    // they cannot be queued, so they wait for a save of the global set that
    // runs on another thread (the owner joins it here; it reads those lists,
    // which must not change under it). ReplaceGlobal does not wait.
    std::function<void()> BeforeChange;
    // Returns once no save of the global set runs elsewhere (BeforeChange),
    // for callers that read the global set as that save leaves it.
    void WaitUntilNoSaveRuns() { BeforeChanging(); }
    // The global set holds results whose save failed: shown but not
    // stored. The next load, successful save or new lists clear it.
    bool ListsUnsaved() const { return unsaved_; }

    // ---- The save of the global set on another thread (TDetachedSave) ----
    // The owner's thread: set becomes the global set, shown before it is
    // stored. Returned is the store the worker saves it with: the same data
    // folder, files and step hook, holding the global set before (the set
    // the save may replace) and what was known of the set on disk it was.
    std::unique_ptr<TResultStore> BeginDetachedSave(TStoredSet set);
    // The owner's thread: the rescan is merged into the global set (as
    // AppendAnalizeInfo merges), shown before it is stored. The worker's
    // store holds no lists.
    std::unique_ptr<TResultStore> BeginDetachedRescan(const TStoredSet& rescan);
    // The owner's thread: the save of a change of the global set begins;
    // the change is made on the worker's thread (SaveShownChange), so that
    // the owner's thread never copies the lists it shares with its views.
    // The worker's store holds no lists.
    std::unique_ptr<TResultStore> BeginDetachedChange();
    // Whether a detached save began and its outcome was not yet taken. Until
    // then the global set is read by both threads and changed by neither.
    bool DetachedSaveRuns() const { return detached_; }
    // The worker's thread, on the worker's store: stores shown (the owner's
    // global set, read only); replaced receives the set it replaced.
    TDetachedOutcome SaveShown(const TStoredSet& shown, TReplacedSet* replaced);
    // The same for a rescan merged into shown: when another save stored the
    // drive meanwhile, the rescan is merged into that set instead, which is
    // stored and handed back to be shown.
    TDetachedOutcome SaveShownRescan(const TStoredSet& shown, const TStoredSet& rescan);
    // The worker's thread: change is made to shown (the owner's global set,
    // read only) and the result stored and handed back to be shown, stored
    // or not (TDetachedOutcome::Changed). When another save stored the
    // drive meanwhile, the change is made to that set instead. Lists whose
    // own save failed (ListsUnsaved when the save began) are the newest the
    // user has: a rescan or change is made to them and stores them, never
    // made to the older set on disk instead.
    TDetachedOutcome SaveShownChange(const TStoredSet& shown, const TSetChange& change);
    // The owner's thread, once the worker is done: the store takes the
    // outcome (what it now knows of the set on disk, a merged set to show,
    // or the mark that the lists shown were not stored), then makes the
    // replacements queued meanwhile.
    void TakeDetachedOutcome(TDetachedOutcome outcome);

  private:
    void BeforeChanging() {
        if (BeforeChange)
            BeforeChange();
    }
    TStoredSetFiles Names() const;
    bool UnderSaveLock(const std::function<bool()>& body);
    // takeGlobal: the global set, when it is the set replaced, is moved
    // into replaced instead of copied (it is replaced next); tookGlobal then
    // tells that it was.
    bool SaveLocked(const TStoredSet& set, TReplacedSet* replaced, bool takeGlobal = false,
                    bool* tookGlobal = nullptr);
    void ReadReplaced(TReplacedSet& replaced, bool takeGlobal, bool* tookGlobal);
    std::string RefusalText(const std::string& why) const;
    // The sums of the result files as they are on disk now, when known
    // without reading them (the files have not changed since this object
    // last read or wrote them); null otherwise.
    const TResultFileSums* KnownSums() const;
    // Records the sums of the result files just written.
    void RememberSums(const TResultFileSums& sums);
    // The global set is still the set on disk it was loaded or saved as.
    bool GlobalIsStored() const;
    void RecordBase();
    bool Refuse(const std::string& why);
    bool Fail(const std::string& why);
    // The global set becomes set: a change of the lists (generation).
    void Install(TStoredSet set);
    // The lists a preload read, taken over as LoadGlobal would load them;
    // false when they are not (or no longer) the set on disk.
    bool TakePreloaded();
    // Takes a set loaded with its origin as the global set.
    void TakeLoaded(TLoadedSet& loaded);
    // A store for the worker of a detached save (see BeginDetachedSave).
    std::unique_ptr<TResultStore> WorkerStore() const;
    TDetachedOutcome Outcome(bool saved);
    // redoShown: a change, made to the lists shown (or the newer set) here;
    // otherwise a rescan already in the lists shown, redone only on a newer
    // set.
    TDetachedOutcome SaveShownOrRedo(const TStoredSet& shown, const TSetChange& redo,
                                     bool redoShown);
    void MakeDiskPercents() const;

    TStoredSet global_ = TStoredSet::Initial();
    std::shared_ptr<TStoredSetPreload> preload_;
    bool tookPreload_ = false;
    std::set<std::string> told_;
    std::uint64_t generation_ = 0;
    // The shares of the allocated bytes, made for the lists of one
    // generation (and length).
    mutable TStringList diskPercents_;
    mutable TStringList unknownSizes_;
    mutable std::uint64_t diskGeneration_ = ~std::uint64_t{0};
    mutable std::size_t diskLength_ = 0;
    // The set on disk the global set was last loaded from or saved as (and
    // the sums of the result files while they are as this object last read
    // or wrote them), and the generation the global set had then.
    TStoredSetOrigin origin_;
    std::uint64_t baseGeneration_ = 0;
    bool unsaved_ = false;
    // A worker's store: the lists shown are newer than the set on disk.
    bool shownNewest_ = false;
    // A detached save runs; the replacements asked for meanwhile.
    bool detached_ = false;
    std::vector<std::pair<TStoredSet, std::function<void()>>> queued_;
};
