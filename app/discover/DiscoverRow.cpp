#include "app/discover/DiscoverRow.h"

#include <QTreeWidget>

bool TDiscoverRow::operator<(const QTreeWidgetItem& other) const {
    const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
    const QVariant mine = data(column, Qt::UserRole);
    const QVariant theirs = other.data(column, Qt::UserRole);
    if (mine.isValid() && theirs.isValid()) {
        const qint64 a = mine.toLongLong(), b = theirs.toLongLong();
        if (a != b)
            return a < b;
        // Equal numbers: the order of the path, so a sort is always the same.
        return data(0, kPathRole).toByteArray() < other.data(0, kPathRole).toByteArray();
    }
    return text(column).localeAwareCompare(other.text(column)) < 0;
}
