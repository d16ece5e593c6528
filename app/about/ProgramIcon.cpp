#include "app/about/ProgramIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace cq::app {

QImage ProgramIconImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF tile(0.5, 0.5, size - 1.0, size - 1.0);
    QLinearGradient cobalt(tile.topLeft(), tile.bottomRight());
    cobalt.setColorAt(0, QColor(64, 110, 214));
    cobalt.setColorAt(1, QColor(20, 46, 128));
    p.setPen(QPen(QColor(12, 30, 90), 1));
    p.setBrush(cobalt);
    p.drawRoundedRect(tile, size * 0.18, size * 0.18);

    // Three slices, the largest one pulled out a little, as if chosen.
    const QRectF disc = tile.adjusted(size * 0.16, size * 0.16, -size * 0.16, -size * 0.16);
    const struct {
        int start, span;
        QColor color;
    } slices[] = {{90, 150, QColor(255, 196, 92)},
                  {240, 80, QColor(236, 235, 232)},
                  {320, 130, QColor(120, 200, 255)}};
    for (const auto& s : slices) {
        QRadialGradient shade(disc.center() - QPointF(size * 0.08, size * 0.08),
                              disc.width() * 0.7);
        shade.setColorAt(0, s.color.lighter(120));
        shade.setColorAt(1, s.color.darker(125));
        p.setBrush(shade);
        p.setPen(QPen(QColor(30, 30, 60), size >= 32 ? 1.0 : 0.5));
        const QRectF at = s.start == 90 ? disc.translated(-size * 0.03, -size * 0.03) : disc;
        p.drawPie(at, s.start * 16, s.span * 16);
    }
    return image;
}

}  // namespace cq::app
