#include "views/treemap/TreemapCushions.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The first level's ridge height and how much lower each level's is.
constexpr double kHeight = 0.45;
constexpr double kFalloff = 0.75;
constexpr double kAmbient = 0.35;
constexpr double kDiffuse = 0.75;

// The surface z = s2x x^2 + s1x x + s2y y^2 + s1y y of a tile.
struct TSurface {
    double s1x = 0, s2x = 0, s1y = 0, s2y = 0;
};

// Adds a parabolic ridge of height h over [lo, hi): rising from both
// edges with slope 4h, flat at the middle.
void AddRidge(double lo, double hi, double h, double& s1, double& s2) {
    const double width = hi - lo;
    if (width <= 0)
        return;
    s1 += 4 * h * (hi + lo) / width;
    s2 -= 4 * h / width;
}

std::vector<TSurface> Surfaces(const TTreemapLayout& layout) {
    std::vector<TSurface> surfaces(static_cast<std::size_t>(layout.Count()));
    for (int i = 0; i < layout.Count(); ++i) {
        const TTreemapTile& tile = layout.Tile(i);
        TSurface s =
            tile.Parent >= 0 ? surfaces[static_cast<std::size_t>(tile.Parent)] : TSurface{};
        if (tile.Item.Kind != TTileKind::Rest) {
            const double h = kHeight * std::pow(kFalloff, tile.Depth);
            const QRect& r = tile.Rect;
            AddRidge(r.left(), r.left() + r.width(), h, s.s1x, s.s2x);
            AddRidge(r.top(), r.top() + r.height(), h, s.s1y, s.s2y);
        }
        surfaces[static_cast<std::size_t>(i)] = s;
    }
    return surfaces;
}

QRgb Shade(QRgb base, double light) {
    auto channel = [light](int value) {
        return std::clamp(static_cast<int>(value * light + 0.5), 0, 255);
    };
    return qRgb(channel(qRed(base)), channel(qGreen(base)), channel(qBlue(base)));
}

void FillCushion(QImage& image, const QRect& rect, const TSurface& s, QRgb base) {
    const QRect r = rect.intersected(image.rect());
    std::vector<double> dx(static_cast<std::size_t>(std::max(r.width(), 0)));
    for (int x = 0; x < r.width(); ++x)
        dx[static_cast<std::size_t>(x)] = 2 * s.s2x * (r.left() + x + 0.5) + s.s1x;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        const double dy = 2 * s.s2y * (y + 0.5) + s.s1y;
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < r.width(); ++x)
            line[r.left() + x] = Shade(base, CushionLight(dx[static_cast<std::size_t>(x)], dy));
    }
}

void Frame(QImage& image, const QRect& rect, QRgb base) {
    const QRgb dark = Shade(base, 0.6);
    const QRect r = rect.intersected(image.rect());
    if (r.isEmpty())
        return;
    auto* top = reinterpret_cast<QRgb*>(image.scanLine(r.top()));
    auto* bottom = reinterpret_cast<QRgb*>(image.scanLine(r.bottom()));
    std::fill(top + r.left(), top + r.right() + 1, dark);
    std::fill(bottom + r.left(), bottom + r.right() + 1, dark);
    for (int y = r.top(); y <= r.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        line[r.left()] = dark;
        line[r.right()] = dark;
    }
}

}  // namespace

double CushionLight(double dx, double dy) {
    // Towards the light: up and to the left, well above the picture.
    static const double norm = std::sqrt(0.3 * 0.3 + 0.3 * 0.3 + 0.9 * 0.9);
    const double lx = 0.3 / norm, ly = 0.3 / norm, lz = 0.9 / norm;
    // The normal is (-dx, -dy, 1); the light comes from (-lx, -ly, lz).
    const double cosine = (lx * dx + ly * dy + lz) / std::sqrt(dx * dx + dy * dy + 1.0);
    return kAmbient + kDiffuse * std::max(0.0, cosine);
}

QImage RenderTreemap(const TTreemapLayout& layout, const TTileColour& colour) {
    if (layout.Size().isEmpty() || layout.Count() == 0)
        return QImage();
    QImage image(layout.Size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    const std::vector<TSurface> surfaces = Surfaces(layout);
    for (int i = 0; i < layout.Count(); ++i) {
        const TTreemapTile& tile = layout.Tile(i);
        const auto at = static_cast<std::size_t>(i);
        if (tile.Item.Kind == TTileKind::Rest) {
            const TTreemapTile& parent = layout.Tile(tile.Parent);
            FillCushion(image, tile.Rect, surfaces[at], colour(parent));
        } else if (tile.ChildCount == 0) {
            FillCushion(image, tile.Rect, surfaces[at], colour(tile));
        } else if (TTreemapLayout::Inner(tile.Rect, tile.Depth) != tile.Rect) {
            Frame(image, tile.Rect, colour(tile));
        }
    }
    return image;
}
