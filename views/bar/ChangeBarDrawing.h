#pragma once
// The bar of a row in the change view: it grows to the right from the bar
// column's left edge for growth and for loss alike, its length the size of
// the change; a loss is drawn in a colour of its own. Like the size bars it
// runs from white at its top to its colour at its bottom, with a frame.
#include <QColor>
#include <QRect>

class QPainter;

QColor GrowthColor();
QColor ShrinkColor();

// Clears the cell (as the size bars do) and draws the bar: length pixels
// long inside bar (whose width is the whole column), growth or loss.
void DrawChangeBar(QPainter& canvas, const QRect& bar, int columnWidth, int length, bool loss);
