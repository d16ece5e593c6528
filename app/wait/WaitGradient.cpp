#include "app/wait/WaitGradient.h"

#include <QPainter>

TWaitGradient::TWaitGradient(QWidget* parent)
    : QWidget(parent), begin_(Qt::white), end_(palette().color(QPalette::Button)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    UpdatePattern();
}

void TWaitGradient::SetColors(const QColor& begin, const QColor& end) {
    if (begin == begin_ && end == end_)
        return;
    begin_ = begin;
    end_ = end;
    UpdatePattern();
}

void TWaitGradient::UpdatePattern() {
    // Ramp entry i runs from begin (0) to end (255) with integer steps.
    QRgb ramp[256];
    const int r1 = begin_.red(), g1 = begin_.green(), b1 = begin_.blue();
    const int dr = end_.red() - r1, dg = end_.green() - g1, db = end_.blue() - b1;
    for (int i = 0; i < 256; ++i)
        ramp[i] = qRgb(r1 + i * dr / 255, g1 + i * dg / 255, b1 + i * db / 255);
    pattern_ = QImage(128, 129, QImage::Format_RGB32);
    for (int y = 0; y < pattern_.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(pattern_.scanLine(y));
        for (int x = 0; x < pattern_.width(); ++x)
            row[x] = ramp[y - x + 127];
    }
    update();
}

void TWaitGradient::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), pattern_);
}
