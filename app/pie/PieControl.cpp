#include "app/pie/PieControl.h"

#include <QAccessible>
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

void TPieControl::SetSlices(std::vector<TPieSlice> slices, const QString& name,
                            const QString& description) {
    slices_ = std::move(slices);
    focusSlice_ = -1;
    const bool renamed = name != accessibleName();
    const bool described = description != accessibleDescription();
    setAccessibleName(name);
    setAccessibleDescription(description);
    if (!QAccessible::isActive())
        return;
    // The children are other slices now: readers drop what they kept.
    QAccessibleEvent reorder(this, QAccessible::ObjectReorder);
    QAccessible::updateAccessibility(&reorder);
    if (renamed || described) {
        QAccessibleEvent changed(
            this, renamed ? QAccessible::NameChanged : QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&changed);
    }
}

void TPieControl::SetFocusSlice(int index) {
    if (index < 0 || index >= static_cast<int>(slices_.size()))
        index = -1;
    if (index == focusSlice_)
        return;
    focusSlice_ = index;
    if (hasFocus())
        TellFocusSlice();
}

// The focus moves to the chosen slice as the outline does, so a reader
// speaks the slice that is outlined.
void TPieControl::TellFocusSlice() {
    if (!QAccessible::isActive() || focusSlice_ < 0)
        return;
    QAccessibleEvent focus(this, QAccessible::Focus);
    focus.setChild(focusSlice_);
    QAccessible::updateAccessibility(&focus);
}

int TPieControl::SliceAt(QPoint at) const {
    for (size_t i = 0; i < slices_.size(); ++i) {
        const TPieOutline& o = slices_[i].shape;
        const double dx = at.x() - o.centre.x();
        const double dy = at.y() - o.centre.y();
        if (std::hypot(dx, dy) > o.radius)
            continue;
        // 0 degrees at nine o'clock, counterclockwise on the screen.
        double angle = std::atan2(dx, dy) * 180.0 / M_PI + 90.0;
        angle = std::fmod(angle + 360.0, 360.0);
        if (angle >= o.startAngle && angle < o.startAngle + o.sweep)
            return static_cast<int>(i);
    }
    return -1;
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
    TellFocusSlice();
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

// The meta-object code is compiled with this file rather than on its own.
#include "moc_PieControl.cpp"
