#pragma once
// The tiles of a treemap in a picture of a given size: the current folder
// fills the picture, each folder's items are laid out squarified in its
// inner rectangle (its own less a one-pixel frame where it is at least
// kMinFramed pixels on each side), and so on down as long
// as tiles are at least kMinTile pixels on each side. A tile that would be
// smaller is not made: its area stays its parent's (a Rest tile records
// such areas, so that they are drawn in the parent's colour and shading).
//
// Tiles are kept in one vector; the children of a tile are a contiguous
// run of it. Tile 0 is the current folder. Edges are the exact layout's
// rounded to whole pixels, so neighbours share their edges and never
// overlap.
#include <QRect>
#include <cstdint>
#include <vector>

#include "views/treemap/TreemapItem.h"

class TTreemapSource;

struct TTreemapTile {
    QRect Rect;
    int Parent = -1;
    int FirstChild = -1;
    int ChildCount = 0;
    int Top = -1;  // the current folder's child it lies in (a row of the bar list)
    TTreemapItem Item;
    std::uint16_t Depth = 0;
};

class TTreemapLayout {
  public:
    static constexpr int kMinTile = 3;
    // The least width and height of a folder drawn with a frame.
    static constexpr int kMinFramed = 12;

    // Lays out source in a picture of size. A malformed stored size throws
    // EConvertError. Folders whose inner rectangle is smaller than
    // minOpenArea pixels are left whole (Partial() tells that one was): a
    // first picture of a large drive that reads a small part of what the
    // whole one does.
    void Build(const TTreemapSource& source, QSize size, int minOpenArea = 0);
    // Whether a folder that could hold tiles was left whole.
    bool Partial() const { return partial_; }

    const std::vector<TTreemapTile>& Tiles() const { return tiles_; }
    const TTreemapTile& Tile(int i) const { return tiles_[static_cast<std::size_t>(i)]; }
    int Count() const { return static_cast<int>(tiles_.size()); }
    QSize Size() const { return size_; }

    // The deepest tile under point that stands for an item (never a Rest
    // tile); 0 (the current folder) where no child is; -1 outside.
    // maxDepth limits how deep it looks.
    int TileAt(QPoint point, int maxDepth = 0xffff) const;
    // The tile of the current folder's child top (a row), or -1.
    int TileOfTop(int top) const;
    // The rectangle a folder's items are laid out in.
    static QRect Inner(const QRect& rect, int depth);

  private:
    void LayOut(const TTreemapSource& source, int parent, const std::vector<TTreemapItem>& items,
                std::int64_t total);

    std::vector<TTreemapTile> tiles_;
    QSize size_;
    bool partial_ = false;
};

// The exact rectangle rounded to whole pixels, each edge to the nearest.
QRect RoundedRect(const QRectF& exact);
