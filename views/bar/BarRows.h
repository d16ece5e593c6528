#pragma once

#include <string>

class QTreeWidgetItem;
class TBarData;
class TPBExListview;
class TShellListModel;

// The rows of the bar list: one a listed item, as far as the bar lists reach
// (name with icon, size in MB, percent, path). The path's bytes are kept
// beside its shown text, so a name that is not valid text still opens.
class TBarRows {
  public:
    // Replaces the list's rows; the rows built so far stay when one fails.
    static void Fill(TPBExListview& list, const TBarData& data, const TShellListModel& listing);
    // The absolute path a row stands for (sub-item 3); empty for none.
    static std::string RowPath(const QTreeWidgetItem* row);
    // Makes the row of path the current and only selected one, scrolled
    // into view; false, with the list as it was, when no row has it.
    static bool Select(TPBExListview& list, const std::string& path);
};
