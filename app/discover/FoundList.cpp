#include "app/discover/FoundList.h"

#include <QDateTime>
#include <QHeaderView>
#include <algorithm>

#include "app/discover/DiscoverRow.h"
#include "platform/FileInfo.h"
#include "views/common/DisplayText.h"
#include "views/common/NumberText.h"

namespace {

// The columns of the panel's other file lists.
enum FoundColumn { kFoundName, kFoundFolder, kFoundSize, kFoundModified, kFoundOnDisk };

QString FoundMB(std::int64_t bytes) {
    return QString::fromStdString(FormatMB(std::to_string(bytes)));
}

void SetNumber(QTreeWidgetItem* row, int column, std::int64_t value) {
    row->setText(column, FoundMB(value));
    row->setData(column, Qt::UserRole, qint64(value));
    row->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
}

}  // namespace

TFoundList::TFoundList(QWidget* parent) : QTreeWidget(parent) {
    setObjectName("DiscoverFound");
    setAccessibleName(QStringLiteral("Found"));
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setHeaderLabels({"Name", "Folder", "Size, MB", "Modified", "On disk, MB"});
    setSortingEnabled(true);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    header()->setSectionsMovable(false);
    Fill();
}

void TFoundList::SetFound(TFoundItems items, const QString& what) {
    items_ = std::move(items);
    what_ = what;
    searched_ = true;
    Fill();
}

void TFoundList::DropGone() {
    const std::size_t before = items_.size();
    items_.erase(std::remove_if(items_.begin(), items_.end(),
                                [](const TFoundItem& item) {
                                    return item.Folder ? !FolderExists(item.Path)
                                                       : !FileExists(item.Path);
                                }),
                 items_.end());
    if (items_.size() != before)
        Fill();
}

void TFoundList::SetAllocated(bool on) {
    if (allocated_ == on)
        return;
    allocated_ = on;
    Fill();
}

QString TFoundList::NoteText() const {
    if (!searched_)
        return "Analize > Find lists here the files and folders whose names match.";
    std::size_t folders = 0;
    std::int64_t bytes = 0, onDisk = 0;
    for (const TFoundItem& item : items_) {
        folders += item.Folder ? 1 : 0;
        bytes += item.Size;
        onDisk += item.Allocated > 0 ? item.Allocated : 0;
    }
    return QString("%1 files and %2 folders found, %3 MB: %4")
        .arg(items_.size() - folders)
        .arg(folders)
        .arg(FoundMB(allocated_ ? onDisk : bytes), what_);
}

void TFoundList::Fill() {
    setSortingEnabled(false);
    clear();
    QList<QTreeWidgetItem*> rows;
    for (const TFoundItem& item : items_) {
        auto* row = new TDiscoverRow;
        const std::size_t slash = item.Path.rfind('\\');
        row->setText(kFoundName, DisplayText(item.Path.substr(slash + 1)));
        row->setData(kFoundName, TDiscoverRow::kPathRole, QByteArray::fromStdString(item.Path));
        row->setData(kFoundName, kFolderRole, item.Folder);
        row->setText(kFoundFolder, DisplayText(item.Path.substr(0, slash)));
        SetNumber(row, kFoundSize, item.Size);
        // Unknown numbers sort as -1, below every known one, and show blank.
        if (item.Allocated >= 0)
            SetNumber(row, kFoundOnDisk, item.Allocated);
        else
            row->setData(kFoundOnDisk, Qt::UserRole, qint64(-1));
        if (item.MTime >= 0)
            row->setText(kFoundModified,
                         QDateTime::fromSecsSinceEpoch(item.MTime).toString("yyyy-MM-dd HH:mm"));
        row->setData(kFoundModified, Qt::UserRole, qint64(item.MTime));
        rows.append(row);
    }
    addTopLevelItems(rows);
    setColumnHidden(kFoundOnDisk, !allocated_);
    setSortingEnabled(true);
    sortByColumn(kFoundSize, Qt::DescendingOrder);
    for (int c = 0; c < columnCount(); ++c)
        resizeColumnToContents(c);
}
