#pragma once
// What the pie shows of the current folder, kept as five parallel text lists:
// entry 0 is the current folder itself, then one slice per subfolder and per
// file that takes more than 1 % of it (subfolders first, each group in
// listing order). Built from the global lists and the folder's listing; no
// widget is involved.
#include <cstdint>
#include <string>

#include "engine/StringList.h"
#include "views/common/Colors.h"

class TResultStore;
class TShellListModel;
class TShellFolder;

class TPieData {
  public:
    // folderChanged is the main window's flag shared with the bar data; the
    // pie rebuilds only while it is set and leaves it as it is.
    TPieData(const TResultStore& store, const TShellListModel& bar, bool& folderChanged);

    TStringList PieSizes;     // bytes, decimal
    TStringList PieNames;     // last path component, first letter upper-cased; "C:" for a root
    TStringList PieColors;    // colour texts
    TStringList PiePaths;     // paths as the global lists keep them
    TStringList PiePercents;  // a folder's share of its parent ("0.0"), a file's share in full

    bool& FolderChanged;
    // The lists hold only the placeholder entry of a folder without results.
    bool PiePlaceholder = false;
    // Colour of the remainder slice, drawn anew by every rebuild.
    TColor OtherColor = clGray;

    // Whether the current folder's own share of its parent adds into the
    // running total that ends the subfolder walk. Off: the total counts the
    // subfolders' shares of the current folder only, so a folder that holds
    // 40 % of its parent still gets slices for subfolders worth 60 % and more.
    static constexpr bool kOwnShareInTotal = false;

    // Rebuilds the lists when FolderChanged is set. A malformed number in the
    // global lists throws EConvertError; the five lists then still have one
    // length.
    void CreatePieData();
    void PieFolders();
    void PieFiles();
    void ClearPieSLs();
    // True when any of names, percents, sizes or colours is empty.
    bool PieSLSEmpty() const;
    // Position of the listed folder in GlobalDirs ("C:\" found as "C:"); the
    // list's count when it is not there.
    int IndexOfFolder(const std::string& listedPath) const;

  private:
    void Append(const std::string& name, const std::string& path, const std::string& percent,
                const std::string& size, TColor color);
    void AppendFolder(int stored, float percent, bool hidden);

    const TResultStore& store_;
    const TShellListModel& bar_;
};
