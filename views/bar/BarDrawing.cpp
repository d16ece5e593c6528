#include "views/bar/BarDrawing.h"

#include <QPainter>
#include <cmath>

QRect BarRect(const QRect& rowRect, const QList<int>& columnWidths, int column, int percent) {
    int left = rowRect.left();
    for (int c = 0; c < column && c < columnWidths.size(); ++c) {
        left += columnWidths[c];
    }
    int top = rowRect.top() + 3;
    // The row's bottom edge is exclusive, as the bar's is.
    int bottom = rowRect.top() + rowRect.height() - 3;
    int width = column < columnWidths.size() ? columnWidths[column] : 0;
    long long product = static_cast<long long>(percent) * width;
    int length = static_cast<int>(std::trunc(static_cast<double>(product) / 100.0));
    return QRect(left, top, length, bottom - top);
}

void DrawWhiteRect(QPainter& canvas, const QRect& bar, int barColumnWidth) {
    int height = bar.height() + 4;
    canvas.fillRect(QRect(bar.left(), bar.top(), barColumnWidth, height), Qt::white);
}

void DrawShadow(QPainter& canvas, const QRect& bar, bool barShadow, const QColor& shadowColor) {
    if (!barShadow || bar.width() <= 0) {
        return;
    }
    canvas.fillRect(bar.translated(3, 2), shadowColor);
}

void DrawGradientBar(QPainter& canvas, const QRect& bar, const QImage& rendered,
                     const QColor& rowColor, bool outline) {
    if (bar.width() <= 0 || bar.height() <= 0) {
        return;
    }
    canvas.save();
    canvas.setRenderHint(QPainter::SmoothPixmapTransform, true);
    canvas.drawImage(QRectF(bar), rendered);
    if (outline) {
        // Four one-pixel strips rather than a stroked rectangle: they scale
        // with the device pixel ratio and so stay on the inside of the bar.
        const int w = bar.width(), h = bar.height();
        canvas.fillRect(QRect(bar.left(), bar.top(), w, 1), rowColor);
        canvas.fillRect(QRect(bar.left(), bar.top() + h - 1, w, 1), rowColor);
        canvas.fillRect(QRect(bar.left(), bar.top(), 1, h), rowColor);
        canvas.fillRect(QRect(bar.left() + w - 1, bar.top(), 1, h), rowColor);
    }
    canvas.restore();
}
