#pragma once
// TAnalizeDisk measures a folder tree: one entry per folder (and filter
// part) with the bytes of the folder's own files, sorted so that every
// folder precedes the folders below it, then each folder's total including
// everything below it and its share of its parent in percent. Everything
// happens inside Execute, on the calling thread (with a helper thread for
// the walk when nothing observes the walk's order).
//
// The three lists are the text form of the result files: Dirs holds
// drive-form paths ("C:", "C:\Data\x"), DirSizes plain decimal byte counts,
// Percents the share in the general 15-digit format. DiskSizes, beside
// them, holds each folder's allocated bytes (st_blocks * 512 of its files,
// totalled like DirSizes, hard links once, folders' own blocks left out).
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "engine/ExcludeRules.h"
#include "engine/ExtraLists.h"
#include "engine/FileSink.h"
#include "engine/StringList.h"
#include "engine/WalkCounters.h"

enum TAttrOption { ffReadOnly, ffHidden, ffSysFile, ffVolumeID, ffDirectory };
using TAttrOptions = std::set<TAttrOption>;

class TAnalizeDisk;
struct TDirIndex;
using TNotifyEvent = std::function<void(TAnalizeDisk* sender)>;
// NewPath ends in a backslash; setting Abort ends the walk.
using TNewPathEvent =
    std::function<void(TAnalizeDisk* sender, const std::string& newPath, bool& abort)>;

class TAnalizeDisk {
  public:
    TAnalizeDisk();
    TAnalizeDisk(const TAnalizeDisk&) = delete;
    TAnalizeDisk& operator=(const TAnalizeDisk&) = delete;

    // Properties, with the values a new analyzer starts with.
    TAttrOptions Attributes{ffReadOnly, ffHidden, ffSysFile};
    std::string Directory;       // drive form, with or without a trailing "\"
    std::string Filter = "*.*";  // patterns separated by ";"
    bool Recurse = false;
    bool Sorted = false;
    bool StrictRO = false;
    TNotifyEvent BeforeExecute;
    TNotifyEvent AfterExecute;
    TNewPathEvent OnNewPath;
    // Items these rules exclude are neither counted nor entered (none by
    // default: everything is measured).
    TExcludeRules Exclude;

    // Asks a run to stop; may be set from any thread at any time. Never
    // reset by Execute: a cancelled analyzer is not run again.
    std::atomic<bool> Cancel{false};

    // One complete run; returns after AfterExecute has returned. What ends
    // it early (memory running out on any of its threads) is thrown from
    // here, on the calling thread.
    void Execute();

    const TStringList& Dirs() const { return dirs_; }
    const TStringList& DirSizes() const { return dirSizes_; }
    const TStringList& Percents() const { return percents_; }
    const TStringList& DiskSizes() const { return diskSizes_; }
    // The owner may take the lists over after the run (saves copying them).
    TStringList& Dirs() { return dirs_; }
    TStringList& DirSizes() { return dirSizes_; }
    TStringList& Percents() { return percents_; }
    TStringList& DiskSizes() { return diskSizes_; }

    // The per-file collectors of the walk (see FileSink.h): by default those
    // of the extra file kinds (ExtraKindSinks). After a run TakeFileSink
    // hands over the merged sink (none without a maker or a walk).
    TFileSinkMaker MakeFileSink;
    std::unique_ptr<TFileSink> TakeFileSink() { return std::move(fileSink_); }
    // The run's extra lists, moved out: DiskSizes (when it has a value for
    // every folder) and what the sink adds (AddExtraLists). Empty after a
    // cancelled run. Leaves DiskSizes() empty.
    TExtraLists TakeExtras();

    // The first-letter index: lowest and highest sorted position per key.
    const std::array<std::int64_t, 256>& First() const { return first_; }
    const std::array<std::int64_t, 256>& Last() const { return last_; }

    // The attribute mask of the last run (bits 0x01 0x02 0x04 0x08 0x10).
    std::uint32_t AttributeMask() const { return mask_; }
    // True when the last run ended through an OnNewPath handler's Abort.
    bool Aborted() const { return abort_; }

    // Filter parts in order: split at ";", blanks trimmed, empty parts left out.
    static std::vector<std::string> FilterParts(const std::string& filter);
    // The mask bits of a set of options.
    static std::uint32_t MaskOf(const TAttrOptions& options);

    // Walk with several threads when nothing observes the walk order; on by
    // default, off to compare with the sequential walk.
    bool ParallelWalk = true;
    // Threads of the parallel walk; 0 lets the analyzer choose for the
    // machine and the disk (see WalkThreads.h).
    int WalkThreads = 0;
    // Folders listed so far in the current run, and the files in them that
    // take part (attributes and filter) with their bytes; readable from any
    // thread (progress displays that must not slow the walk down with
    // OnNewPath). A file with several hard links is counted at each of its
    // names here, once in the sizes. Counted per folder, so the files and
    // bytes grow a whole folder at a time.
    std::uint64_t FoldersWalked() const { return walked_.Folders.load(std::memory_order_relaxed); }
    std::uint64_t FilesWalked() const { return walked_.Files.load(std::memory_order_relaxed); }
    std::uint64_t BytesWalked() const { return walked_.Bytes.load(std::memory_order_relaxed); }
    // Called on a walking thread after each listed folder with the number
    // listed so far; unlike OnNewPath it leaves the walk parallel. Lets a
    // test stop a walk at a fixed point instead of at a moment in time.
    std::function<void(std::uint64_t folders)> OnFolderListed;

  private:
    void Walk();
    void SortAndIndex();
    void WidenRootKey(TDirIndex& index) const;
    void Aggregate(TDirIndex& index);

    TStringList dirs_, dirSizes_, percents_, diskSizes_;
    std::unique_ptr<TFileSink> fileSink_;
    std::array<std::int64_t, 256> first_{};
    std::array<std::int64_t, 256> last_{};
    std::uint32_t mask_ = 0;
    bool abort_ = false;
    bool walkedSorted_ = false;  // the walk gave sorted lists with totals
    TWalkCounters walked_;
};
