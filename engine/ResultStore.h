#pragma once
// The stored analysis of a drive: its three result files in the data folder
// and the global lists that hold the current drive's analysis in memory.
// A plain object without any window: the main window owns one and calls these
// operations; command-line tools can do the same.
#include <array>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>

#include "engine/StringList.h"

// The folder tree's own copies of two global lists, as LoadTree hands them
// over, and whether the tree shows its size bars.
struct TTreeLists {
    TStringList Percents;
    TStringList Dirs;
    bool ShowBarCharts = false;
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
    // True when all three result files of the current drive exist.
    bool AnalizeFiExists() const;

    // Writes an analysis (the analyzer's Dirs, DirSizes, Percents) to the
    // result files of the current drive, replacing them as a set: the earlier
    // whole set is kept beside them until the manifest names the new one, so
    // a load after a crash at any point finds the old set or the new one.
    // Temporary files that killed saves left in the data folder are removed.
    // False, with the reason in SaveError, when the new set was not stored.
    bool SaveAnalizeData(const TStringList& dirs, const TStringList& dirSizes,
                         const TStringList& percents);
    // Merges the analysis of a folder rescan (the analyzer's lists, the
    // rescanned folder first) into the global lists, so that they hold what
    // a scan of the whole drive would: the folders below it replaced by the
    // rescanned ones, its ancestors' sizes carrying its change, the shares
    // under every changed folder computed anew (see MergeRescan). Lists not
    // in the sorted form a scan stores are only updated in place: each
    // rescanned folder that is stored (exact path, drive letter in any case)
    // gets its new size, and its new share unless it is the rescanned folder.
    void AppendAnalizeInfo(const TStringList& dirs, const TStringList& dirSizes,
                           const TStringList& percents);
    // Writes the global lists to the result files, as SaveAnalizeData does.
    bool SaveGlobalSLS();

    // Replaces the global lists with the lines of the result files: the set
    // the manifest names, or, after a save that was cut off, the whole set
    // kept from before it (LoadNotice says so). A set that cannot be
    // trusted (a file missing or unreadable, lists of unequal length,
    // folders out of order, a size or percent that is not a number) is not
    // used: the lists get their initial entries, LoadNotice says which file
    // and line, and the result is false. A set saved without a manifest (by
    // an earlier version) loads when its lists can be trusted.
    bool LoadGlobal();
    // Copies GlobalPercents and GlobalDirs into the tree's lists and turns its
    // size bars on.
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
    // LoadNotice the first time this text comes up in this process, so that
    // a refused set is reported once and not at every visit of its drive;
    // empty otherwise.
    std::string TakeLoadNotice();

    // Runs after each step of a save: 0 the new files written out, 1 the
    // earlier set kept, 2 the manifest renamed, 3 to 5 each result file
    // renamed. Tests stop a save there as a crash would.
    std::function<void(int step)> SaveStepHook;

  private:
    bool SaveLists(const TStringList& percents, const TStringList& dirs,
                   const TStringList& dirSizes);
    std::array<std::string, 3> Files() const;
    std::array<std::string, 3> KeptFiles() const;
    bool Refuse(const std::string& why);
    bool Fail(const std::string& why);
    void Step(int step) const;

    std::set<std::string> told_;
    std::uint64_t generation_ = 0;
};
