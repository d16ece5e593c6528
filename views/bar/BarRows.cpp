#include "views/bar/BarRows.h"

#include <algorithm>

#include "views/bar/BarData.h"
#include "views/bar/BarRow.h"
#include "views/bar/PBExListview.h"
#include "views/tree/ShellListModel.h"

void TBarRows::Fill(TPBExListview& list, const TBarData& data, const TShellListModel& listing) {
    list.clear();
    const size_t rows = std::min(
        {data.BarSizes.size(), data.BarPercents.size(), static_cast<size_t>(listing.Count())});
    const std::shared_ptr<const std::vector<TShellFolder>> items = listing.SharedItems();
    QList<QTreeWidgetItem*> added;
    added.reserve(static_cast<qsizetype>(rows));
    try {
        for (size_t i = 0; i < rows; ++i) {
            auto* row = new TBarRow(items, static_cast<int>(i));
            added.append(row);
            row->Fill(data.BarSizes[i], data.BarPercents[i], data.ShowsAllocated());
        }
    } catch (...) {
        // The rows built so far stay; the one that failed shows its name.
        list.addTopLevelItems(added);
        throw;
    }
    list.addTopLevelItems(added);
}

std::string TBarRows::RowPath(const QTreeWidgetItem* row) {
    return row ? row->data(3, TBarRow::kRawPathRole).toByteArray().toStdString() : std::string();
}
