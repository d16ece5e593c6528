#include "app/pie/PieControl.h"

#include <QMouseEvent>
#include <QPainter>

TPieControl::TPieControl(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::PointingHandCursor);
    setMouseTracking(true);
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
}

void TPieControl::mousePressEvent(QMouseEvent* event) {
    if (OnMouseDown)
        OnMouseDown(event->button(), event->position().toPoint());
}

void TPieControl::mouseMoveEvent(QMouseEvent* event) {
    if (OnMouseMove)
        OnMouseMove(event->position().toPoint());
}
