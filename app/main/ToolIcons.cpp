#include "app/main/ToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

const QColor kInk(50, 50, 60);
const QColor kFolder(230, 180, 60);
const QColor kBlue(47, 111, 208);

void Folder(QPainter& p) {
    p.setPen(QPen(kInk, 0.8));
    p.setBrush(kFolder);
    QPainterPath path;
    path.moveTo(1.5, 4);
    path.lineTo(6, 4);
    path.lineTo(7.5, 5.5);
    path.lineTo(14.5, 5.5);
    path.lineTo(14.5, 13.5);
    path.lineTo(1.5, 13.5);
    path.closeSubpath();
    p.drawPath(path);
}

void Arrow(QPainter& p, QPointF tip, bool up, const QColor& colour) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    qreal d = up ? 1 : -1;
    QPolygonF head({tip, tip + QPointF(-3.5, 3.5 * d), tip + QPointF(3.5, 3.5 * d)});
    p.drawPolygon(head);
    p.fillRect(QRectF(tip.x() - 1.2, tip.y() + (up ? 3 : -7), 2.4, 4), colour);
}

void Draw(QPainter& p, TToolIcon kind) {
    switch (kind) {
        case TToolIcon::FolderUp:
            Folder(p);
            Arrow(p, QPointF(8, 1), true, QColor(30, 130, 40));
            break;
        case TToolIcon::DiskAnalize:
            p.setPen(QPen(kInk, 0.8));
            p.setBrush(QColor(200, 200, 205));
            p.drawRoundedRect(QRectF(1.5, 5.5, 13, 7), 1.5, 1.5);
            p.setBrush(QColor(60, 200, 80));
            p.drawEllipse(QPointF(12, 9), 1, 1);
            p.setPen(QPen(kBlue, 1.4));
            p.drawArc(QRectF(3, 1, 10, 10), 30 * 16, 120 * 16);
            break;
        case TToolIcon::FolderAnalize:
            Folder(p);
            p.setPen(QPen(kBlue, 1.6));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(5, 6.5, 6, 6), 60 * 16, 270 * 16);
            break;
        case TToolIcon::Pie:
            p.setPen(QPen(kInk, 0.8));
            p.setBrush(QColor(74, 160, 74));
            p.drawPie(QRectF(1.5, 1.5, 13, 13), 90 * 16, 200 * 16);
            p.setBrush(kBlue);
            p.drawPie(QRectF(1.5, 1.5, 13, 13), 290 * 16, 100 * 16);
            p.setBrush(QColor(224, 138, 30));
            p.drawPie(QRectF(1.5, 1.5, 13, 13), 30 * 16, 60 * 16);
            break;
        case TToolIcon::Bar:
            for (int i = 0; i < 3; ++i) {
                QLinearGradient g(0, 2 + i * 5, 0, 6 + i * 5);
                g.setColorAt(0, Qt::white);
                g.setColorAt(1, i == 1 ? QColor(224, 138, 30) : kBlue);
                p.setPen(QPen(kInk, 0.6));
                p.setBrush(g);
                p.drawRect(QRectF(1.5, 1.5 + i * 5, (i == 0 ? 13 : i == 1 ? 8 : 10), 3.5));
            }
            break;
        case TToolIcon::Tree:
            p.setPen(QPen(kInk, 1));
            p.drawLine(QPointF(3.5, 4), QPointF(3.5, 12.5));
            p.drawLine(QPointF(3.5, 8.5), QPointF(7, 8.5));
            p.drawLine(QPointF(3.5, 12.5), QPointF(7, 12.5));
            p.setBrush(kFolder);
            p.drawRect(QRectF(1.5, 1.5, 5, 3));
            p.drawRect(QRectF(7.5, 7, 6, 3));
            p.drawRect(QRectF(7.5, 11, 6, 3));
            break;
        case TToolIcon::Exit:
            p.setPen(QPen(QColor(190, 40, 40), 2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(4, 4), QPointF(12, 12));
            p.drawLine(QPointF(12, 4), QPointF(4, 12));
            break;
        case TToolIcon::ZoomIn:
        case TToolIcon::ZoomOut:
            p.setPen(QPen(kInk, 1.4));
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(6.5, 6.5), 4.5, 4.5);
            p.drawLine(QPointF(10, 10), QPointF(14, 14));
            p.drawLine(QPointF(4.5, 6.5), QPointF(8.5, 6.5));
            if (kind == TToolIcon::ZoomIn) {
                p.drawLine(QPointF(6.5, 4.5), QPointF(6.5, 8.5));
            }
            break;
        case TToolIcon::NewColors: {
            const QColor colours[] = {QColor(220, 60, 60), QColor(60, 170, 70), kBlue,
                                      QColor(240, 190, 40)};
            for (int i = 0; i < 4; ++i) {
                p.setPen(QPen(kInk, 0.6));
                p.setBrush(colours[i]);
                p.drawRect(QRectF(1.5 + (i % 2) * 7, 1.5 + (i / 2) * 7, 6, 6));
            }
            break;
        }
        case TToolIcon::Save:
            p.setPen(QPen(kInk, 0.8));
            p.setBrush(kBlue);
            p.drawRect(QRectF(2.5, 2.5, 11, 11));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(4.5, 2.5, 7, 4));
            break;
    }
}

}  // namespace

QIcon ToolIcon(TToolIcon kind) {
    QIcon icon;
    for (qreal ratio : {1.0, 2.0}) {
        QPixmap pixmap(QSize(16, 16) * ratio);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        Draw(painter, kind);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
