#include "views/treemap/TreemapLayout.h"

#include <cmath>

#include "views/treemap/TreemapSource.h"
#include "views/treemap/TreemapSquarify.h"

QRect RoundedRect(const QRectF& exact) {
    const int left = static_cast<int>(std::lround(exact.left()));
    const int top = static_cast<int>(std::lround(exact.top()));
    const int right = static_cast<int>(std::lround(exact.right()));
    const int bottom = static_cast<int>(std::lround(exact.bottom()));
    return QRect(left, top, right - left, bottom - top);
}

QRect TTreemapLayout::Inner(const QRect& rect, int depth) {
    // The current folder fills the picture; each folder below it keeps a
    // one-pixel frame that tells its tiles from its neighbours', where it
    // is large enough that the frames do not swallow it.
    const bool framed = depth > 0 && rect.width() >= kMinFramed && rect.height() >= kMinFramed;
    return framed ? rect.adjusted(1, 1, -1, -1) : rect;
}

void TTreemapLayout::Build(const TTreemapSource& source, QSize size, int minOpenArea) {
    tiles_.clear();
    partial_ = false;
    size_ = size;
    TTreemapTile root;
    root.Rect = QRect(QPoint(0, 0), size);
    root.Item = {TTileKind::Folder, source.TopTotal(), source.TopStored()};
    tiles_.push_back(root);
    if (size.isEmpty())
        return;
    const std::vector<TTreemapItem> top = source.TopItems();
    std::int64_t sum = 0;
    for (const TTreemapItem& item : top)
        sum += item.Size;
    LayOut(source, 0, top, std::max(sum, source.TopTotal()));
    // Depth first through the folders big enough to hold tiles; each
    // folder's children are made together, so they form one run.
    std::vector<int> open;
    for (int i = tiles_[0].FirstChild; i >= 0 && i < tiles_[0].FirstChild + tiles_[0].ChildCount;
         ++i)
        open.push_back(i);
    std::vector<TTreemapItem> items;
    while (!open.empty()) {
        const int at = open.back();
        open.pop_back();
        const TTreemapTile& tile = tiles_[static_cast<std::size_t>(at)];
        if (tile.Item.Kind != TTileKind::Folder || tile.Item.Ref < 0)
            continue;
        const QRect inner = Inner(tile.Rect, tile.Depth);
        if (inner.width() < kMinTile || inner.height() < kMinTile)
            continue;
        // Items under the area of the smallest tile are merged anyway: not
        // even sorted (a little below it, against rounding).
        const double area = static_cast<double>(inner.width()) * inner.height();
        if (area < minOpenArea) {
            partial_ = true;
            continue;
        }
        const double minSize =
            tile.Item.Size > 0 ? kMinTile * kMinTile * 0.999 * tile.Item.Size / area : 0.0;
        source.Children(tile.Item.Ref, items, minSize);
        LayOut(source, at, items, tile.Item.Size);
        const TTreemapTile& laid = tiles_[static_cast<std::size_t>(at)];
        for (int c = laid.FirstChild; c >= 0 && c < laid.FirstChild + laid.ChildCount; ++c)
            open.push_back(c);
    }
}

void TTreemapLayout::LayOut(const TTreemapSource& source, int parent,
                            const std::vector<TTreemapItem>& items, std::int64_t total) {
    const TTreemapTile holder = tiles_[static_cast<std::size_t>(parent)];
    const QRect inner = Inner(holder.Rect, holder.Depth);
    std::vector<std::int64_t> sizes;
    sizes.reserve(items.size());
    for (const TTreemapItem& item : items)
        sizes.push_back(item.Size);
    const TSquarified laid =
        Squarify(sizes, std::max<std::int64_t>(total, 0), QRectF(inner), kMinTile * kMinTile);
    const int first = Count();
    auto add = [&](const QRect& rect, const TTreemapItem& item, int top) {
        TTreemapTile tile;
        tile.Rect = rect;
        tile.Parent = parent;
        tile.Item = item;
        tile.Top = top;
        tile.Depth = static_cast<std::uint16_t>(holder.Depth + 1);
        tiles_.push_back(tile);
    };
    for (std::size_t i = 0; i < laid.Rects.size(); ++i) {
        const QRect rect = RoundedRect(laid.Rects[i]);
        if (rect.isEmpty())
            continue;
        const bool seen = rect.width() >= kMinTile && rect.height() >= kMinTile;
        TTreemapItem item = items[i];
        int top = holder.Top;
        if (parent == 0) {
            // A row of the bar list: the tile keeps the row, and a folder
            // its place in the stored list, as tiles further down do.
            top = item.Ref;
            item.Ref = item.Kind == TTileKind::Folder
                           ? source.Top()[static_cast<std::size_t>(top)].Stored
                           : -1;
        }
        add(rect, seen ? item : TTreemapItem{TTileKind::Rest, 0, -1}, top);
    }
    const QRect rest = RoundedRect(laid.Rest);
    if (!rest.isEmpty())
        add(rest, TTreemapItem{TTileKind::Rest, 0, -1}, parent == 0 ? -1 : holder.Top);
    TTreemapTile& updated = tiles_[static_cast<std::size_t>(parent)];
    updated.FirstChild = first;
    updated.ChildCount = Count() - first;
}

int TTreemapLayout::TileAt(QPoint point, int maxDepth) const {
    if (tiles_.empty() || !tiles_[0].Rect.contains(point))
        return -1;
    int at = 0;
    for (bool deeper = true; deeper;) {
        deeper = false;
        const TTreemapTile& tile = tiles_[static_cast<std::size_t>(at)];
        if (tile.Depth >= maxDepth)
            break;
        for (int c = tile.FirstChild; c >= 0 && c < tile.FirstChild + tile.ChildCount; ++c) {
            const TTreemapTile& child = tiles_[static_cast<std::size_t>(c)];
            if (child.Item.Kind != TTileKind::Rest && child.Rect.contains(point)) {
                at = c;
                deeper = true;
                break;
            }
        }
    }
    return at;
}

int TTreemapLayout::TileOfTop(int top) const {
    if (tiles_.empty())
        return -1;
    const TTreemapTile& root = tiles_[0];
    for (int c = root.FirstChild; c >= 0 && c < root.FirstChild + root.ChildCount; ++c)
        if (tiles_[static_cast<std::size_t>(c)].Item.Kind != TTileKind::Rest &&
            tiles_[static_cast<std::size_t>(c)].Top == top)
            return c;
    return -1;
}
