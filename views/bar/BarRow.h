#pragma once

#include <QTreeWidgetItem>
#include <memory>

#include "views/tree/ShellItems.h"

// One row of the bar list: a listed item with its size in MB, its share in
// percent and its path. Only the texts the list sorts by are made with the
// row; the icon, the path's text, the hints and what a screen reader hears
// are worked out from the listing when the list asks for them. A folder of
// a hundred thousand files shows a few dozen rows, and making every role of
// every row first (a file's type above all) kept the user waiting. A value
// set on the row itself wins over the worked-out one.
class TBarRow : public QTreeWidgetItem {
  public:
    // The sub-item 3 role that holds the path's raw bytes.
    static constexpr int kRawPathRole = Qt::UserRole;
    // The size text of an item the stored results' exclude rules leave out.
    static constexpr const char* kExcludedText = "excluded";

    TBarRow(std::shared_ptr<const TShellItems> listing, int index);

    // Gives the row its numbers, the texts of its size in MB and its share
    // in percent; until then it shows only the item's name and icon.
    // sparseHint: under Disk usage, a sparse file's row says why it takes
    // so little.
    void Fill(QString mb, QString percent, bool sparseHint);

    QVariant data(int column, int role) const override;

  private:
    const TShellFolder& Item() const { return (*listing_)[static_cast<std::size_t>(index_)]; }
    QVariant Shown(int column, int role) const;
    QVariant Text(int column) const;
    QVariant Spoken(int column) const;
    QString SpokenSize() const;
    QString SparseHint() const;

    std::shared_ptr<const TShellItems> listing_;
    int index_;
    bool filled_ = false;
    bool sparse_ = false;
    QString mb_;
    QString percent_;
};
