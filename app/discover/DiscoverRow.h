#pragma once
// A row of the Discover panel's lists that sorts its number columns by the
// number behind the text (Qt::UserRole), its text columns by the text.
#include <QTreeWidgetItem>

class TDiscoverRow : public QTreeWidgetItem {
  public:
    using QTreeWidgetItem::QTreeWidgetItem;
    // The role that holds a file's drive-form path (column 0).
    static constexpr int kPathRole = Qt::UserRole + 1;

    bool operator<(const QTreeWidgetItem& other) const override;
};
