#include "views/bar/ChangeBarDrawing.h"

#include <QLinearGradient>
#include <QPainter>

QColor GrowthColor() {
    return QColor(214, 96, 77);  // warm: space taken
}

QColor ShrinkColor() {
    return QColor(67, 147, 195);  // cool: space given back
}

void DrawChangeBar(QPainter& canvas, const QRect& bar, int columnWidth, int length, bool loss) {
    canvas.fillRect(QRect(bar.left(), bar.top(), columnWidth, bar.height() + 4), Qt::white);
    if (length <= 0 || bar.height() <= 0) {
        return;
    }
    const QColor colour = loss ? ShrinkColor() : GrowthColor();
    const QRect filled(bar.left(), bar.top(), length, bar.height());
    QLinearGradient ramp(filled.topLeft(), filled.bottomLeft());
    ramp.setColorAt(0, Qt::white);
    ramp.setColorAt(1, colour);
    canvas.fillRect(filled, ramp);
    // One-pixel strips, as the size bars' frame, so it stays inside the bar.
    canvas.fillRect(QRect(filled.left(), filled.top(), length, 1), colour);
    canvas.fillRect(QRect(filled.left(), filled.bottom(), length, 1), colour);
    canvas.fillRect(QRect(filled.left(), filled.top(), 1, filled.height()), colour);
    canvas.fillRect(QRect(filled.right(), filled.top(), 1, filled.height()), colour);
}
