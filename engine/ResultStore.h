#pragma once
// The stored analysis of a drive: its three result files in the data folder
// and the global lists that hold the current drive's analysis in memory.
// A plain object without any window: the main window owns one and calls these
// operations; command-line tools can do the same.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/ExtraLists.h"
#include "engine/ResultSetManifest.h"
#include "engine/StringList.h"
#include "platform/DataFolder.h"

class TAtomicFile;
struct TResultSetSums;

// The folder tree's own copies of two global lists, as LoadTree hands them
// over, and whether the tree shows its size bars.
class TStoredSetPreload;

struct TTreeLists {
    TStringList Percents;
    TStringList Dirs;
    bool ShowBarCharts = false;
};

// The set a drive scan's save replaced, read under the same lock as the
// save wrote: what was really there, not what was there when the scan began.
struct TReplacedSet {
    bool Whole = false;  // a set that loads was there and was replaced
    TStringList Dirs;
    TStringList Sizes;
    TExtraLists Extras;      // the extra lists it held
    std::int64_t Time = -1;  // when it was saved, seconds since 1970
};

// What a set on disk is, as far as a look at its four files (without
// reading them) tells: equal stamps, the same set.
struct TStoredSetStamp {
    std::array<TDataFileStamp, 4> Files;  // Percents, Dirs, DirSizes, the manifest
    bool operator==(const TStoredSetStamp& o) const { return Files == o.Files; }
    bool operator!=(const TStoredSetStamp& o) const { return !(*this == o); }
};

class TResultStore {
  public:
    // The data folder of the platform (created when missing).
    TResultStore();
    // A given data folder, "" or ending in "/" (tests, tools).
    explicit TResultStore(std::string dataFolder);

    // Parallel by entry: folder paths in byte order, total sizes, percents of
    // the parent. Before any drive is loaded each holds one entry.
    TStringList GlobalDirs{" "};
    TStringList GlobalDirSizes{"0"};
    TStringList GlobalPercents{"0"};
    // The extra lists of the same set (ExtraLists.h), by role; a role that
    // is missing is not known for it.
    TExtraLists GlobalExtras;

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

    // Writes an analysis (the analyzer's Dirs, DirSizes, Percents) to the
    // result files of the current drive, replacing them as a set: the earlier
    // whole set is kept beside them until the manifest names the new one, so
    // a load after a crash at any point finds the old set or the new one.
    // Temporary files that killed saves left in the data folder are removed.
    // False, with the reason in SaveError, when the new set was not stored.
    // With replaced, the set replaced is read under the same lock as the
    // save (the global lists are taken when they are that set, unchanged).
    // The extra lists are saved beside the three as part of the same set;
    // extra files of the drive that the new set lacks are removed.
    bool SaveAnalizeData(const TStringList& dirs, const TStringList& dirSizes,
                         const TStringList& percents, TReplacedSet* replaced = nullptr,
                         const TExtraLists& extras = {});
    // SaveAnalizeData, after which the global lists are the lists just
    // stored, taken over under the save's lock instead of read back: what
    // was written is what they hold. A failed save leaves the global lists
    // (and the arguments' lists, once moved in, are dropped) as before.
    bool SaveAsGlobal(TStringList dirs, TStringList dirSizes, TStringList percents,
                      TReplacedSet* replaced = nullptr, TExtraLists extras = {});
    // Runs change on the stored set of the current drive and stores the
    // result, all under one exclusive lock of the data folder, so that no
    // other save (of this process or another) comes between the read and the
    // write. The set is the global lists when they are still what is stored
    // (nothing saved since they were loaded or saved here); otherwise the
    // set on disk, loaded first. Afterwards the global lists are what was
    // stored. False, with the reason in SaveError (and LoadNotice when the
    // stored set could not be used), when nothing was stored; the global
    // lists are then as before.
    // A change that knows nothing of the extra lists drops them (not known
    // until the next scan): they no longer describe the changed folders.
    using TSetChange =
        std::function<void(TStringList& dirs, TStringList& sizes, TStringList& percents)>;
    bool UpdateStoredSet(const TSetChange& change);
    // The same with the extra lists handed to the change, which keeps in
    // extras what still holds afterwards.
    using TSetChangeWithExtras = std::function<void(TStringList& dirs, TStringList& sizes,
                                                    TStringList& percents, TExtraLists& extras)>;
    bool UpdateStoredSetAndExtras(const TSetChangeWithExtras& change);
    // Merges the analysis of a folder rescan (the analyzer's lists, the
    // rescanned folder first) into the global lists, so that they hold what
    // a scan of the whole drive would: the folders below it replaced by the
    // rescanned ones, its ancestors' sizes carrying its change, the shares
    // under every changed folder computed anew (see MergeRescan). Lists not
    // in the sorted form a scan stores are only updated in place: each
    // rescanned folder that is stored (exact path, drive letter in any case)
    // gets its new size, and its new share unless it is the rescanned folder.
    // The global extra lists follow by their kinds' merges (ExtraRescan.h);
    // without the rescan's extras they are dropped.
    void AppendAnalizeInfo(const TStringList& dirs, const TStringList& dirSizes,
                           const TStringList& percents, const TExtraLists& extras = {});
    // Writes the global lists to the result files, as SaveAnalizeData does,
    // unless the stored set has changed since they were loaded or saved (by
    // another save): false then, and older lists never replace a newer set.
    bool SaveGlobalSLS();

    // Replaces the global lists with the lines of the result files: the set
    // the manifest names, or, after a save that was cut off (the files are
    // a mix of the set it recorded as new and the one before), the whole
    // set kept from before it (LoadNotice says so). Files that are neither
    // (edited by hand, restored from elsewhere) are used as they are, and
    // LoadNotice says they were changed outside the program. A set that cannot be
    // trusted (a file missing or unreadable, lists of unequal length,
    // folders out of order, a size or percent that is not a number) is not
    // used: the lists get their initial entries, LoadNotice says which file
    // and line, and the result is false. A set saved without a manifest (by
    // an earlier version) loads when its lists can be trusted. The extra
    // lists load into GlobalExtras when the manifest records them and their
    // files are whole and fit the set; any other is left out (not known).
    bool LoadGlobal();
    // The global lists were replaced by their owner (an opened scan): what
    // was derived from them is made again.
    void GlobalsReplaced();
    // Copies the shown shares (ShownPercents) and GlobalDirs into the tree's
    // lists and turns its size bars on.
    void LoadTree(TTreeLists& tree) const;
    // LoadGlobal, then LoadTree.
    bool LoadData(TTreeLists& tree);

    // Counts up whenever the global lists may have changed (a load, a merge,
    // new or freed lists), so that what is derived from them (the change
    // view's comparison) can tell when to derive it again.
    std::uint64_t Generation() const { return generation_; }

    // The global lists with their initial single entries.
    void CreateSLs();
    // The global lists emptied.
    void FreeSLs();
    // True when all three global lists are empty.
    bool GlobalSLSEmpty() const;

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
    // renamed, 6 on each extra file renamed (between 2 and 3). Tests stop a
    // save there as a crash would. A save of the global lists on another
    // thread (TDetachedSave) runs it on that thread.
    std::function<void(int step)> SaveStepHook;

    // Runs first in every operation of this object that changes the global
    // lists or the stored set (a load, a save, a merge, new or freed lists).
    // An owner whose save of the global lists runs on another thread
    // (TDetachedSave) waits for that save here: those lists are read by it
    // and must not change under it. Whoever writes the global lists directly
    // calls SettleSave first.
    std::function<void()> BeforeChange;
    // Returns once no save of the global lists runs elsewhere (BeforeChange).
    void SettleSave() { BeforeChanging(); }
    // The global lists hold results whose save failed: they are shown but
    // not stored. The next load, successful save or new lists clear it.
    bool ListsUnsaved() const { return unsaved_; }

  private:
    // The save of lists that are shown while it runs on another thread: it
    // hands this object's state over between its two threads.
    friend class TDetachedSave;
    using TFileSums = std::array<TResultFileSum, 3>;

    void BeforeChanging() {
        if (BeforeChange)
            BeforeChange();
    }
    template <class Body>
    bool UnderSaveLock(Body&& body);
    // takeGlobals: the global lists, when they are the set replaced, are
    // moved into replaced instead of copied (they are replaced next);
    // tookGlobals then tells that they were.
    bool SaveLocked(const TStringList& percents, const TStringList& dirs,
                    const TStringList& dirSizes, const TExtraLists& extras, TReplacedSet* replaced,
                    bool takeGlobals = false, bool* tookGlobals = nullptr);
    bool WriteExtras(const TExtraLists& extras,
                     std::vector<std::pair<std::string, std::unique_ptr<TAtomicFile>>>& written,
                     TResultSetSums& sums);
    void RemoveStaleExtras(const TExtraLists& kept);
    // mainSums: set to the sums of the result files when the lists are
    // theirs (not those of the set kept from before a save cut off).
    bool LoadSetInto(std::array<TStringList*, 3> lists, TExtraLists* extras, std::string& notice,
                     std::string& refusal, TFileSums* mainSums = nullptr, bool* fromMain = nullptr);
    void LoadExtras(const TResultSetSums& set, const TStringList& dirs, TExtraLists& extras) const;
    std::string RefusalText(const std::string& why) const;
    std::string DriveLetter() const;
    TStoredSetStamp StampOnDisk() const;
    // StampOnDisk, and whether a file of it was written within the file
    // system's current tick, so that a change in that tick would not show.
    TStoredSetStamp StampNow(bool& racy) const;
    // The sums of the result files as they are on disk now, when known
    // without reading them (the files have not changed since this object
    // last read or wrote them); null otherwise.
    const TFileSums* KnownSums() const;
    // Records the sums of the result files just read or written, when the
    // files still have the stamp they had before (before: "" for now).
    void RememberSums(const TFileSums& sums, const TStoredSetStamp* before = nullptr);
    // Takes over the set on disk that other's global lists were loaded or
    // saved as (its stamp and sums), as if this object's lists were it.
    void AdoptBaseOf(const TResultStore& other);
    // The worker's halves of a detached save, on an object of their own
    // that holds the base of the lists before (AdoptBaseOf) and, for a drive
    // scan, those lists. lists: Percents, Dirs, DirSizes, read only, with
    // their extra lists; rescan and rescanExtras: a folder rescan's own.
    bool SaveShownLists(const std::array<const TStringList*, 3>& lists, const TExtraLists& extras,
                        TReplacedSet* replaced);
    bool SaveShownRescan(const std::array<const TStringList*, 3>& lists, const TExtraLists& extras,
                         const std::array<const TStringList*, 3>& rescan,
                         const TExtraLists& rescanExtras, bool& remerged);
    // The global lists are still the set on disk they were loaded or saved as.
    bool GlobalsAreStored() const;
    void RecordBase();
    std::array<std::string, 3> Files() const;
    std::array<std::string, 3> KeptFiles() const;
    bool Refuse(const std::string& why);
    bool Fail(const std::string& why);
    void Step(int step) const;

    // The lists a preload read, taken over as LoadGlobal would load them;
    // false when they are not (or no longer) the set on disk.
    bool TakePreloaded();

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
    void MakeDiskPercents() const;
    // The set on disk the global lists were last loaded from or saved as,
    // and the generation they had then.
    bool baseValid_ = false;
    // A file of the set was written in the tick its stamp was taken: an
    // edit within that tick would not show, so the stamp does not tell.
    bool baseRacy_ = false;
    TStoredSetStamp baseStamp_;
    std::uint64_t baseGeneration_ = 0;
    // The sums of the result files while they have knownStamp_: a save
    // need not read them to know what it replaces.
    bool knownValid_ = false;
    TStoredSetStamp knownStamp_;
    TFileSums knownSums_{};
    bool unsaved_ = false;
};
