#include "app/discover/ShareBarDelegate.h"

#include <QPainter>
#include <algorithm>

void TShareBarDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    const double share = index.data(Qt::UserRole).toDouble() / 10000.0;
    const QRect area = option.rect.adjusted(2, 3, -2, -3);
    const int width = static_cast<int>(area.width() * std::clamp(share, 0.0, 1.0) + 0.5);
    if (width <= 0)
        return;
    painter->save();
    painter->fillRect(QRect(area.left(), area.top(), width, area.height()), QColor(90, 140, 210));
    painter->restore();
}
