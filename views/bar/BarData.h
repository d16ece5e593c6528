#pragma once
// The rows of the bar view: for every item of the current folder's listing,
// its size, its share of the current folder in percent and its bar colour,
// kept as three parallel text lists. Built from the global lists of the
// analysed drive and the listing; no widget is involved.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/StringList.h"

class TResultStore;
class TShellListModel;

class TBarData {
  public:
    // folderChanged is the main window's flag shared with the pie data: set
    // when the current folder or the analysis changed, cleared by a build.
    TBarData(const TResultStore& store, const TShellListModel& bar, bool& folderChanged);

    // Row i: size in bytes ("0" for an unanalysed folder), share in percent
    // ("0.0" format, or "0") and colour text ("clWhite" for an unanalysed
    // folder, else a standard colour name or "$" and eight hex digits).
    TStringList BarSizes;
    TStringList BarPercents;
    TStringList BarColors;
    // Row i: why the stored rules leave the item out ("the pattern *.o",
    // "a cache folder (CACHEDIR.TAG)"), empty when they do not; such a row
    // has no size and no bar.
    std::vector<std::string> BarExcluded;

    bool& FolderChanged;
    // The lists hold a complete build; no bars are drawn while it is false.
    bool BarDataReady = false;
    // The whole parts of the rows' percents added up to more than 102 in
    // the last build: every percent then reads "0".
    bool PercentOverflow = false;

    // Rebuilds the rows when FolderChanged is set and the global lists are
    // not empty; otherwise the rows stay as they are. A malformed number in
    // the global lists throws EConvertError and leaves a partial build with
    // BarDataReady clear (the three lists still of one length).
    void CreateFolderBarData();
    void ClearBarSLs();
    // True when any of the three lists is empty.
    bool BarSLSEmpty() const;
    // Appends one row per listed item to the (empty) lists.
    void BarFilesFolders();
    // Total bytes of the current folder from the global lists; 0 when the
    // folder has not been analysed.
    std::int64_t RootFolderSize() const;
    // Whether item index of the listing is a folder or a link to one.
    bool BarItemIsFolder(int index) const;
    void AddTPDC(std::string_view percent, std::string_view size, std::string_view color);
    // The row of a folder without results: "0", "0", "clWhite".
    void EmptyLine();
    static void ZeroSL(TStringList& list);
    // The rows' sizes are allocated bytes (Disk usage).
    bool ShowsAllocated() const;

  private:
    void ReserveRows(std::size_t rows);
    void AddFolderRow(int stored, long long& wholeSum);
    void AddFileRow(std::int64_t size, std::int64_t total, long long& wholeSum);

    const TResultStore& store_;
    const TShellListModel& bar_;
};
