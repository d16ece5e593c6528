#include "app/desktop/AppIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

void DrawBar(QPainter& p, const QRectF& r) {
    QLinearGradient ramp(r.topLeft(), r.bottomLeft());
    ramp.setColorAt(0, Qt::white);
    ramp.setColorAt(1, QColor(47, 111, 208));
    p.setPen(QPen(QColor(47, 111, 208), 2));
    p.setBrush(ramp);
    p.drawRect(r);
}

}  // namespace

QImage AppIconImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);

    p.setPen(QPen(QColor(154, 150, 140), 4));
    p.setBrush(QColor(244, 242, 238));
    p.drawRoundedRect(QRectF(8, 8, 240, 240), 36, 36);

    const QRectF disc(28, 28, 150, 150);
    // Qt's angles run counterclockwise from three o'clock, in 1/16 degree.
    const struct {
        int start, span;
        QColor colour;
    } slices[] = {{180, 135, QColor(31, 79, 154)},
                  {-45, 75, QColor(224, 138, 30)},
                  {30, 150, QColor(74, 160, 74)}};
    p.setPen(Qt::NoPen);
    for (const auto& s : slices) {
        p.setBrush(s.colour);
        p.drawPie(disc, s.start * 16, s.span * 16);
    }
    QRadialGradient light(disc.center() - QPointF(18, 22), 110);
    light.setColorAt(0, QColor(255, 255, 255, 140));
    light.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(light);
    p.drawEllipse(disc);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(48, 48, 44), 3));
    p.drawEllipse(disc);

    DrawBar(p, QRectF(40, 192, 176, 16));
    DrawBar(p, QRectF(40, 216, 110, 16));
    DrawBar(p, QRectF(190, 60, 44, 16));
    return image;
}

QIcon AppIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        icon.addPixmap(QPixmap::fromImage(AppIconImage(size)));
    }
    return icon;
}
