#include "views/bar/BarRows.h"

#include <algorithm>
#include <string>
#include <unordered_map>

#include "views/bar/BarData.h"
#include "views/bar/BarRow.h"
#include "views/bar/PBExListview.h"
#include "views/common/NumberText.h"
#include "views/tree/ShellListModel.h"

namespace {

// At most this many distinct texts are shared; a folder whose rows read
// more different numbers makes the rest one text each.
constexpr std::size_t kMostShared = 4096;

// The text of bytes as a QString, one for all rows that show the same: most
// rows of a large folder read one of a few numbers ("0.0" above all), and a
// text of their own each cost a hundred thousand allocations.
QString SharedText(std::unordered_map<std::string, QString>& shared, std::string bytes) {
    const auto found = shared.find(bytes);
    if (found != shared.end()) {
        return found->second;
    }
    QString text = QString::fromStdString(bytes);
    if (shared.size() < kMostShared) {
        shared.emplace(std::move(bytes), text);
    }
    return text;
}

}  // namespace

void TBarRows::Fill(TPBExListview& list, const TBarData& data, const TShellListModel& listing) {
    list.clear();
    const size_t rows = std::min(
        {data.BarSizes.size(), data.BarPercents.size(), static_cast<size_t>(listing.Count())});
    const std::shared_ptr<const TShellItems> items = listing.SharedItems();
    QList<QTreeWidgetItem*> added;
    added.reserve(static_cast<qsizetype>(rows));
    std::unordered_map<std::string, QString> sizes, percents;
    try {
        for (size_t i = 0; i < rows; ++i) {
            auto* row = new TBarRow(items, static_cast<int>(i));
            added.append(row);
            // A malformed size throws here and leaves the row unfilled.
            if (i < data.BarExcluded.size() && !data.BarExcluded[i].empty()) {
                row->Fill(QString::fromLatin1(TBarRow::kExcludedText), QStringLiteral("0"), false);
                row->setToolTip(0, QString::fromStdString("Excluded by " + data.BarExcluded[i]));
                continue;
            }
            QString mb = SharedText(sizes, FormatMB(data.BarSizes[i]));
            row->Fill(std::move(mb), SharedText(percents, std::string(data.BarPercents[i])),
                      data.ShowsAllocated());
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

bool TBarRows::Select(TPBExListview& list, const std::string& path) {
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = list.topLevelItem(i);
        if (RowPath(row) != path)
            continue;
        list.clearSelection();
        list.setCurrentItem(row);
        row->setSelected(true);
        list.scrollToItem(row);
        return true;
    }
    return false;
}
