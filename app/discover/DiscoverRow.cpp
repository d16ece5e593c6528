#include "app/discover/DiscoverRow.h"

#include <QHeaderView>
#include <QTreeWidget>

bool TDiscoverRow::operator<(const QTreeWidgetItem& other) const {
    const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
    const QVariant mine = data(column, Qt::UserRole);
    const QVariant theirs = other.data(column, Qt::UserRole);
    if (mine.isValid() && theirs.isValid()) {
        const qint64 a = mine.toLongLong(), b = theirs.toLongLong();
        if (a != b)
            return a < b;
        // Equal numbers: by path, in byte order whichever way the column
        // sorts (a descending sort asks with the rows swapped).
        const bool descending =
            treeWidget() && treeWidget()->header()->sortIndicatorOrder() == Qt::DescendingOrder;
        const QByteArray pathA = data(0, kPathRole).toByteArray();
        const QByteArray pathB = other.data(0, kPathRole).toByteArray();
        return descending ? pathB < pathA : pathA < pathB;
    }
    return text(column).localeAwareCompare(other.text(column)) < 0;
}
