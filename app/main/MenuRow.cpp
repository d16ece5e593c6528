#include "app/main/MenuRow.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionMenuItem>
#include <QWidgetAction>

TMenuCell::TMenuCell(QAction* action, QWidget* parent) : QWidget(parent), FAction(action) {
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover);
    setToolTip(action->statusTip());
    connect(action, &QAction::changed, this, qOverload<>(&QWidget::update));
}

void TMenuCell::InitOption(QStyleOptionMenuItem* option) const {
    option->initFrom(this);
    option->menuItemType = QStyleOptionMenuItem::Normal;
    QString text = FAction->text();
    QString key = FAction->shortcut().toString(QKeySequence::NativeText);
    if (!key.isEmpty()) {
        text += '\t' + key;
    }
    option->text = text;
    option->checkType = FAction->isCheckable() ? QStyleOptionMenuItem::NonExclusive
                                               : QStyleOptionMenuItem::NotCheckable;
    option->checked = FAction->isChecked();
    option->menuHasCheckableItems = FAction->isCheckable();
    option->maxIconWidth = 0;
    option->reservedShortcutWidth = key.isEmpty() ? 0 : fontMetrics().horizontalAdvance(key) + 12;
    option->font = font();
    option->rect = rect();
    option->menuRect = rect();
    option->state = QStyle::State_Enabled;
    if (FHover && FAction->isEnabled()) {
        option->state |= QStyle::State_Selected;
    }
    if (!FAction->isEnabled()) {
        option->state &= ~QStyle::State_Enabled;
    }
}

QSize TMenuCell::sizeHint() const {
    QStyleOptionMenuItem option;
    InitOption(&option);
    QSize text(fontMetrics().horizontalAdvance(option.text) + option.reservedShortcutWidth,
               fontMetrics().height());
    return style()->sizeFromContents(QStyle::CT_MenuItem, &option, text, this);
}

void TMenuCell::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionMenuItem option;
    InitOption(&option);
    painter.fillRect(rect(), palette().window());
    style()->drawControl(QStyle::CE_MenuItem, &option, &painter, this);
}

void TMenuCell::enterEvent(QEnterEvent*) {
    FHover = true;
    update();
}

void TMenuCell::leaveEvent(QEvent*) {
    FHover = false;
    update();
}

void TMenuCell::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint())) {
        return;
    }
    // Close the whole menu first, as a native item does, then act.
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (auto* menu = qobject_cast<QMenu*>(w)) {
            menu->close();
            break;
        }
    }
    if (FAction->isEnabled()) {
        FAction->trigger();
    }
}

TMenuCell* AddMenuRow(QMenu* menu, QAction* item, QAction* help) {
    auto* row = new QWidget(menu);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* left = new TMenuCell(item, row);
    auto* right = new TMenuCell(help, row);
    left->setObjectName(item->objectName() + "Cell");
    right->setObjectName(help->objectName() + "Cell");
    layout->addWidget(left, 1);
    layout->addWidget(right, 0);
    auto* action = new QWidgetAction(menu);
    action->setDefaultWidget(row);
    menu->addAction(action);
    return right;
}
