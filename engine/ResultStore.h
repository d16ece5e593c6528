#pragma once
// The stored analysis of a drive: its three result files in the data folder
// and the global lists that hold the current drive's analysis in memory.
// A plain object without any window: the main window owns one and calls these
// operations; command-line tools can do the same.
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

    // Folder of the result files, with its trailing "/"; empty means the
    // current directory.
    std::string DataFolder;
    // The three result files of the current drive; empty until SetFiles.
    std::string DirsFile;
    std::string DirSizesFile;
    std::string PercentsFile;

    // Names the result files after the first character of path (the drive
    // letter of a drive-form path, "C:\Data" gives CDirs, CDirSizes,
    // CPercents). An empty path leaves no names, so nothing is read or written.
    void SetFiles(std::string_view path);
    // True when all three result files of the current drive exist.
    bool AnalizeFiExists() const;

    // Writes an analysis (the analyzer's Dirs, DirSizes, Percents) to the
    // result files of the current drive, replacing them. Each file is replaced
    // atomically, and none is replaced unless all three were written out;
    // false on failure, with the earlier files left as they were.
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

    // Replaces the global lists with the lines of the result files. Files of
    // different line counts load as they are; a file that cannot be read
    // leaves its list empty. False when any file could not be read.
    bool LoadGlobal();
    // Copies GlobalPercents and GlobalDirs into the tree's lists and turns its
    // size bars on.
    void LoadTree(TTreeLists& tree) const;
    // LoadGlobal, then LoadTree.
    bool LoadData(TTreeLists& tree);

    // The global lists with their initial single entries.
    void CreateSLs();
    // The global lists emptied.
    void FreeSLs();
    // True when all three global lists are empty.
    bool GlobalSLSEmpty() const;

  private:
    bool SaveLists(const TStringList& percents, const TStringList& dirs,
                   const TStringList& dirSizes) const;
};
