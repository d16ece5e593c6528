#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QRect>

class QPainter;

// The three layers of one bar in the bar column, drawn on the list's canvas.

// Bar rectangle of a row: starts at the left edge of column `column`, three
// pixels inside the row at top and bottom, and is `percent` hundredths of the
// column's width long (cut toward zero).
QRect BarRect(const QRect& rowRect, const QList<int>& columnWidths, int column, int percent);

// Clears the bar cell from three pixels below the row's top to one pixel into
// the row below, whatever length the bar has.
void DrawWhiteRect(QPainter& canvas, const QRect& bar, int barColumnWidth);

// The drop shadow, offset 3 right and 2 down, only when shadows are on.
void DrawShadow(QPainter& canvas, const QRect& bar, bool barShadow, const QColor& shadowColor);

// The gradient picture scaled into the bar, with a frame of the row colour
// along its inside when `outline` is set.
void DrawGradientBar(QPainter& canvas, const QRect& bar, const QImage& rendered,
                     const QColor& rowColor, bool outline);
