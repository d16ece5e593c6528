// Draws the pictures of the help pages. Run by hand after changing the
// drawing (cmake --build <build> --target cq_help_art) and commit the PNGs.
//   cq_make_help_art <help/pages/Html/images>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <cmath>
#include <cstdio>

namespace {

struct Slice {
    const char* name;
    double share;
    QColor color;
};

const Slice kSlices[] = {
    {"usr", 0.38, QColor(70, 110, 200)},  {"home", 0.27, QColor(235, 150, 60)},
    {"var", 0.16, QColor(95, 175, 95)},   {"opt", 0.09, QColor(200, 80, 90)},
    {"lib", 0.06, QColor(150, 110, 190)},
};

void DrawPie(QPainter& p, const QRectF& disc, bool legend) {
    p.setRenderHint(QPainter::Antialiasing);
    double start = 180.0;  // nine o'clock, counterclockwise
    for (const Slice& s : kSlices) {
        const double span = s.share * 360.0;
        QRadialGradient shade(disc.center() - QPointF(disc.width() / 5, disc.height() / 5),
                              disc.width() * 0.75);
        shade.setColorAt(0, s.color.lighter(150));
        shade.setColorAt(1, s.color.darker(115));
        p.setBrush(shade);
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.drawPie(disc, int(start * 16), int(span * 16));
        if (legend) {
            const double mid = qDegreesToRadians(start + span / 2);
            const QPointF at(disc.center().x() + std::cos(mid) * disc.width() * 0.62,
                             disc.center().y() - std::sin(mid) * disc.height() * 0.62);
            p.setPen(Qt::black);
            p.drawText(QRectF(at.x() - 40, at.y() - 9, 80, 18), Qt::AlignCenter,
                       QStringLiteral("%1 %2 %").arg(s.name).arg(s.share * 100, 0, 'f', 0));
        }
        start += span;
    }
    const QRectF caption(disc.center().x() - 30, disc.center().y() - 9, 60, 18);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 220));
    p.drawRoundedRect(caption, 4, 4);
    p.setPen(QColor(49, 49, 49));
    p.drawText(QRectF(disc.center().x() - 30, disc.center().y() - 9, 60, 18), Qt::AlignCenter,
               QStringLiteral("41.7 GB"));
}

QImage PiePicture() {
    QImage image(320, 240, QImage::Format_RGB32);
    image.fill(QColor(250, 250, 248));
    QPainter p(&image);
    DrawPie(p, QRectF(90, 50, 140, 140), true);
    return image;
}

QImage OverviewPicture() {
    QImage image(520, 200, QImage::Format_RGB32);
    image.fill(QColor(236, 234, 230));
    QPainter p(&image);
    p.fillRect(QRect(8, 8, 300, 184), Qt::white);
    p.setPen(QColor(90, 90, 90));
    const char* headers[] = {"Name", "Size, MB", "Size, %"};
    for (int i = 0; i < 3; ++i) {
        p.drawText(QRect(14 + i * 80, 12, 80, 16), Qt::AlignLeft, QString::fromLatin1(headers[i]));
    }
    int y = 34;
    for (const Slice& s : kSlices) {
        p.setPen(Qt::black);
        p.drawText(QRect(14, y, 80, 16), Qt::AlignLeft, QString::fromLatin1(s.name));
        p.drawText(QRect(94, y, 70, 16), Qt::AlignRight, QString::number(s.share * 42700, 'f', 0));
        p.drawText(QRect(174, y, 60, 16), Qt::AlignRight, QString::number(s.share * 100, 'f', 1));
        QLinearGradient bar(240, 0, 300, 0);
        bar.setColorAt(0, QColor(255, 215, 174));
        bar.setColorAt(1, QColor(230, 140, 60));
        p.fillRect(QRectF(240, y + 3, 60 * s.share / 0.38, 10), bar);
        y += 24;
    }
    p.fillRect(QRect(316, 8, 196, 184), QColor(250, 250, 248));
    DrawPie(p, QRectF(354, 40, 120, 120), false);
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <images folder>\n", argv[0]);
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    const bool ok = PiePicture().save(dir.filePath(QStringLiteral("pie.png"))) &&
                    OverviewPicture().save(dir.filePath(QStringLiteral("overview.png")));
    return ok ? 0 : 1;
}
