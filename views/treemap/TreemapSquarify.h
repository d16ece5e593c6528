#pragma once
// The squarified layout of one level of a treemap: areas proportional to
// sizes, laid out largest first in rows along the rectangle's shorter side,
// each row kept while adding the next item does not make the row's worst
// aspect ratio worse. The first row lies along the top or left edge, so the
// largest item sits at the top left.
//
// The layout stops early at the first item whose area would be under
// minArea square pixels: the items are sorted, so every later one is
// smaller still, and the rectangle left over (the parent's area where the
// small ones are merged) is returned as the rest. A total above the sum of
// the sizes leaves the difference in the rest too.
#include <QRectF>
#include <cstdint>
#include <vector>

struct TSquarified {
    std::vector<QRectF> Rects;  // one per laid-out item, in the items' order
    QRectF Rest;                // the area not given to an item (may be empty)
};

// sizes: largest first, none negative; total: at least their sum (a total
// of 0 lays out nothing).
TSquarified Squarify(const std::vector<std::int64_t>& sizes, std::int64_t total, const QRectF& area,
                     double minArea = 0.0);

// The worst (largest) ratio of long to short side among rects; 1 for none.
double WorstAspect(const std::vector<QRectF>& rects);
