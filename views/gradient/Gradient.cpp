#include "views/gradient/Gradient.h"

#include <QMouseEvent>
#include <QPainter>

TGradient::TGradient(QWidget* parent) : TGradient(false, parent) {}

TGradient::TGradient(bool keepRendered, QWidget* parent) : QWidget(parent), pattern_(keepRendered) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(100, 100);
    pattern_.SetSender(this);
    pattern_.SetOnChanged([this] { update(); });
}

void TGradient::paintEvent(QPaintEvent*) {
    // A handler may paint (and so repaint) while the pattern is half made.
    if (pattern_.Building() || pattern_.Pattern().isNull()) {
        return;
    }
    QPainter painter(this);
    painter.drawImage(rect(), pattern_.Pattern());
}

void TGradient::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        Q_EMIT Click();
    }
    QWidget::mouseReleaseEvent(event);
}

void TGradient::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        Q_EMIT DblClick();
    }
    QWidget::mouseDoubleClickEvent(event);
}

// The meta-object code is compiled with this file rather than on its own.
#include "moc_Gradient.cpp"
