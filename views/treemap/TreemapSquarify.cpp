#include "views/treemap/TreemapSquarify.h"

#include <algorithm>

namespace {

// The worst aspect ratio of a row of items of summed area `sum`, the
// largest `big` and smallest `small`, laid along a side of length `side`.
double RowWorst(double sum, double big, double small, double side) {
    if (sum <= 0.0 || small <= 0.0)
        return 1e300;
    const double s2 = side * side;
    const double sum2 = sum * sum;
    return std::max(s2 * big / sum2, sum2 / (s2 * small));
}

// Lays the items [first, end) as one row along the shorter side of free,
// and takes the row's strip from free.
void PlaceRow(const std::vector<double>& areas, std::size_t first, std::size_t end, double sum,
              QRectF& free, std::vector<QRectF>& out) {
    const bool alongWidth = free.width() >= free.height();  // row is a column at the left
    if (alongWidth) {
        // The sums of many areas drift in the last bits: a row never
        // reaches past the free area.
        const double thick = free.height() > 0 ? std::min(sum / free.height(), free.width()) : 0.0;
        double y = free.top();
        for (std::size_t i = first; i < end; ++i) {
            const double h = thick > 0 ? areas[i] / thick : 0.0;
            out.emplace_back(free.left(), y, thick, h);
            y += h;
        }
        // The last item ends exactly at the bottom, whatever the rounding.
        QRectF& last = out.back();
        last.setBottom(free.bottom());
        free.setLeft(free.left() + thick);
    } else {
        const double thick = free.width() > 0 ? std::min(sum / free.width(), free.height()) : 0.0;
        double x = free.left();
        for (std::size_t i = first; i < end; ++i) {
            const double w = thick > 0 ? areas[i] / thick : 0.0;
            out.emplace_back(x, free.top(), w, thick);
            x += w;
        }
        QRectF& last = out.back();
        last.setRight(free.right());
        free.setTop(free.top() + thick);
    }
}

}  // namespace

TSquarified Squarify(const std::vector<std::int64_t>& sizes, std::int64_t total, const QRectF& area,
                     double minArea) {
    TSquarified result;
    result.Rest = area;
    if (total <= 0 || area.isEmpty())
        return result;
    const double scale = area.width() * area.height() / static_cast<double>(total);
    std::vector<double> areas;
    areas.reserve(sizes.size());
    for (const std::int64_t size : sizes) {
        const double a = static_cast<double>(size) * scale;
        if (a <= 0.0 || a < minArea)
            break;
        areas.push_back(a);
    }
    result.Rects.reserve(areas.size());
    QRectF& free = result.Rest;
    std::size_t first = 0;
    while (first < areas.size()) {
        const double side = std::min(free.width(), free.height());
        double sum = areas[first];
        std::size_t end = first + 1;
        double worst = RowWorst(sum, areas[first], areas[first], side);
        while (end < areas.size()) {
            const double next = RowWorst(sum + areas[end], areas[first], areas[end], side);
            if (next > worst)
                break;
            worst = next;
            sum += areas[end++];
        }
        PlaceRow(areas, first, end, sum, free, result.Rects);
        first = end;
    }
    // The last row was kept exactly to the free area's far edge; a layout
    // of everything leaves no rest beyond rounding.
    if (free.width() < 1e-9 || free.height() < 1e-9)
        free = QRectF();
    return result;
}

double WorstAspect(const std::vector<QRectF>& rects) {
    double worst = 1.0;
    for (const QRectF& r : rects) {
        const double lo = std::min(r.width(), r.height());
        const double hi = std::max(r.width(), r.height());
        if (lo > 0)
            worst = std::max(worst, hi / lo);
    }
    return worst;
}
