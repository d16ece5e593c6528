#pragma once
// Paints a row's share of the drive (a number from 0 to 100 in Qt::UserRole,
// in hundredths of a percent) as a horizontal bar.
#include <QStyledItemDelegate>

class TShareBarDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};
