#include "views/bar/BarRows.h"

#include <QFile>
#include <QTreeWidgetItem>
#include <algorithm>

#include "engine/DiskSizeList.h"
#include "views/bar/BarData.h"
#include "views/bar/PBExListview.h"
#include "views/common/NumberText.h"
#include "views/common/SpokenText.h"
#include "views/tree/IconCache.h"
#include "views/tree/ShellListModel.h"

namespace {

constexpr int kRawPathRole = Qt::UserRole;

// What a screen reader says for the row's cells, from the texts drawn in
// them: the name cell speaks the whole row, the bar cell its share, and the
// path is the row's description. Only the accessible roles are set; the
// drawing reads the display texts.
void SpeakRow(QTreeWidgetItem* row) {
    const QString size = SpokenMB(row->text(1));
    const QString share = SpokenShare(row->text(2));
    row->setData(0, Qt::AccessibleTextRole, SpokenItem(row->text(0), size, share));
    row->setData(1, Qt::AccessibleTextRole, size);
    row->setData(2, Qt::AccessibleTextRole, share);
    row->setData(3, Qt::AccessibleTextRole, QStringLiteral("Bar of ") + share);
    for (int column = 0; column < 4; ++column)
        row->setData(column, Qt::AccessibleDescriptionRole, row->text(3));
}

// Fills a row already in the list, so that a row a bad number text stops
// half-way still shows its name.
void FillRow(QTreeWidgetItem* row, const TShellFolder& folder, std::string_view size,
             std::string_view percent) {
    row->setText(0, folder.DisplayName());
    row->setIcon(0, TIconCache::System().Icon(folder.ImageIndex()));
    row->setText(1, QString::fromStdString(FormatMB(size)));
    row->setText(2, QString::fromUtf8(percent.data(), static_cast<int>(percent.size())));
    row->setText(3, QFile::decodeName(QByteArray::fromStdString(folder.PathName())));
    row->setData(3, kRawPathRole, QByteArray::fromStdString(folder.PathName()));
    row->setTextAlignment(1, Qt::AlignLeft | Qt::AlignVCenter);
    SpeakRow(row);
}

// Under Disk usage a sparse file's row says why it takes so little.
void MarkSparse(QTreeWidgetItem* row, const TShellFolder& item) {
    if (item.IsFolder() || !LooksSparse(item.Size(), item.Allocated()))
        return;
    const QString hint =
        QStringLiteral("Sparse file: %1 MB in size, %2 MB allocated on the disk")
            .arg(QString::fromStdString(FormatMB(std::to_string(item.Size()))),
                 QString::fromStdString(FormatMB(std::to_string(item.Allocated()))));
    for (int column = 0; column < 4; ++column)
        row->setToolTip(column, hint);
}

}  // namespace

void TBarRows::Fill(TPBExListview& list, const TBarData& data, const TShellListModel& listing) {
    list.clear();
    const size_t rows = std::min(
        {data.BarSizes.size(), data.BarPercents.size(), static_cast<size_t>(listing.Count())});
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<int>(rows));
    try {
        for (size_t i = 0; i < rows; ++i) {
            auto* row = new QTreeWidgetItem();
            items.append(row);
            const TShellFolder& item = listing.Item(static_cast<int>(i));
            FillRow(row, item, data.BarSizes[i], data.BarPercents[i]);
            if (data.ShowsAllocated())
                MarkSparse(row, item);
        }
    } catch (...) {
        list.addTopLevelItems(items);
        throw;
    }
    list.addTopLevelItems(items);
}

std::string TBarRows::RowPath(const QTreeWidgetItem* row) {
    return row ? row->data(3, kRawPathRole).toByteArray().toStdString() : std::string();
}
