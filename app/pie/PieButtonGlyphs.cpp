#include "app/pie/PieButtonGlyphs.h"

#include <QPainter>
#include <QPixmap>
#include <functional>

namespace {

constexpr int kGlyph = 16;

// Draws at one and two times the size so the glyph stays sharp at 200 %.
QIcon Glyph(const std::function<void(QPainter&)>& draw) {
    QIcon icon;
    for (int scale : {1, 2}) {
        QPixmap pixmap(kGlyph * scale, kGlyph * scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(scale, scale);
        draw(painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

void Lens(QPainter& painter) {
    painter.setPen(QPen(QColor(60, 60, 60), 1.6));
    painter.setBrush(QColor(230, 240, 255));
    painter.drawEllipse(QRectF(1.5, 1.5, 10, 10));
    painter.setPen(QPen(QColor(60, 60, 60), 2.6, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(10.5, 10.5), QPointF(14.5, 14.5));
    painter.setPen(QPen(QColor(40, 40, 40), 1.4));
}

}  // namespace

QIcon ZoomInGlyph() {
    return Glyph([](QPainter& p) {
        Lens(p);
        p.drawLine(QPointF(4, 6.5), QPointF(9, 6.5));
        p.drawLine(QPointF(6.5, 4), QPointF(6.5, 9));
    });
}

QIcon ZoomOutGlyph() {
    return Glyph([](QPainter& p) {
        Lens(p);
        p.drawLine(QPointF(4, 6.5), QPointF(9, 6.5));
    });
}

QIcon NewColorsGlyph() {
    return Glyph([](QPainter& p) {
        const QColor colors[] = {QColor(220, 60, 60), QColor(60, 170, 60), QColor(60, 90, 220),
                                 QColor(240, 190, 40)};
        const QRectF disc(1.5, 1.5, 13, 13);
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 4; ++i) {
            p.setBrush(colors[i]);
            p.drawPie(disc, i * 90 * 16, 90 * 16);
        }
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(disc);
    });
}
