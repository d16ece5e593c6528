#include "app/main/MenuCell.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionMenuItem>

namespace {

QMenu* MenuOf(const QWidget* widget) {
    for (QWidget* w = widget->parentWidget(); w; w = w->parentWidget()) {
        if (auto* menu = qobject_cast<QMenu*>(w)) {
            return menu;
        }
    }
    return nullptr;
}

}  // namespace

TMenuCell::TMenuCell(QAction* action, QWidget* parent) : QWidget(parent), FAction(action) {
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::StrongFocus);
    // A hint is shown as the item's tool tip; a "?" item keeps its topic to
    // itself (its tool tip is cleared, and Qt's fallback is the bare text).
    const QString tip = action->toolTip();
    if (tip != QString(action->text()).remove('&')) {
        setToolTip(tip);
    }
    connect(action, &QAction::changed, this, qOverload<>(&QWidget::update));
}

QChar TMenuCell::Mnemonic() const {
    const QKeySequence key = QKeySequence::mnemonic(FAction->text());
    if (key.isEmpty()) {
        return {};
    }
    const QString text = QKeySequence(key[0].key()).toString();
    return text.size() == 1 ? text[0].toLower() : QChar();
}

bool TMenuCell::Selected() const {
    return isVisible() && window()->focusWidget() == this;
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
    if (Selected() && FAction->isEnabled()) {
        option->state |= QStyle::State_Selected;
    }
    if (!FAction->isEnabled()) {
        // Greyed as a native menu greys a disabled item: the style draws
        // with the palette's current group, not with the state alone.
        option->state &= ~QStyle::State_Enabled;
        option->palette.setCurrentColorGroup(QPalette::Disabled);
    }
}

QSize TMenuCell::sizeHint() const {
    QStyleOptionMenuItem option;
    InitOption(&option);
    QSize text(fontMetrics().horizontalAdvance(QString(option.text).remove('&')) +
                   option.reservedShortcutWidth,
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
    // The pointer selects, as in a native menu; the keys go on from here.
    if (FAction->isEnabled()) {
        setFocus(Qt::MouseFocusReason);
    }
}

void TMenuCell::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void TMenuCell::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void TMenuCell::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint())) {
        return;
    }
    Activate();
}

void TMenuCell::Activate() {
    // A disabled item does nothing, and its menu stays open, as a native
    // one does; an enabled one closes the whole menu first, then acts.
    if (!FAction->isEnabled()) {
        return;
    }
    if (QMenu* menu = MenuOf(this)) {
        menu->close();
    }
    FAction->trigger();
}

// The meta-object code is compiled with this file rather than on its own.
#include "moc_MenuCell.cpp"
