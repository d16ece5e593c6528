#include "app/pie/PieControl.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <cmath>

TPieControl::TPieControl(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::PointingHandCursor);
    setMouseTracking(true);
    // Tab reaches the pie; a click gives it no focus, so the mouse alone
    // never shows the keyboard's outline.
    setFocusPolicy(Qt::TabFocus);
}

void TPieControl::SetOutline(const std::optional<TPieOutline>& outline) {
    outline_ = outline;
    update();
}

void TPieControl::SetPicture(const QImage& picture) {
    picture_ = picture;
    update();
}

void TPieControl::paintEvent(QPaintEvent*) {
    if (picture_.isNull())
        return;
    QPainter painter(this);
    // The picture comes already scaled (with its own high-quality filter) to
    // the control's size; anything else is fitted, keeping the aspect ratio.
    const QSize fitted = picture_.size().scaled(size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2),
                       fitted);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, picture_);
    if (hasFocus())
        PaintOutline(painter);
}

void TPieControl::PaintOutline(QPainter& painter) const {
    if (!outline_)
        return;
    const TPieOutline& o = *outline_;
    const QRectF disc(o.centre.x() - o.radius, o.centre.y() - o.radius, 2 * o.radius, 2 * o.radius);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    // A light line under a dark dashed one shows on dark and light slices.
    painter.setPen(QPen(Qt::white, 3));
    // 0 degrees at nine o'clock here is 180 at three o'clock for the painter;
    // both count counterclockwise, in sixteenths of a degree there.
    const int start = static_cast<int>(std::lround((180.0 + o.startAngle) * 16));
    const int span = static_cast<int>(std::lround(o.sweep * 16));
    painter.drawPie(disc, start, span);
    painter.setPen(QPen(QColor(20, 20, 20), 1.5, Qt::DashLine));
    painter.drawPie(disc, start, span);
}

void TPieControl::keyPressEvent(QKeyEvent* event) {
    // Keypad keys (Enter, the arrows) carry the keypad modifier.
    if (OnKey && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
        OnKey(event->key())) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TPieControl::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void TPieControl::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

bool TPieControl::event(QEvent* event) {
    // The hint is made for the point where it shows (also when that point is
    // on a legend label), never left over from an earlier slice.
    if (event->type() == QEvent::ToolTip && OnHint) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString hint = OnHint(help->pos());
        if (hint.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), hint, this);
        return true;
    }
    return QWidget::event(event);
}

void TPieControl::mousePressEvent(QMouseEvent* event) {
    if (OnMouseDown)
        OnMouseDown(event->button(), event->position().toPoint());
}

void TPieControl::mouseMoveEvent(QMouseEvent* event) {
    if (OnMouseMove)
        OnMouseMove(event->position().toPoint());
}
