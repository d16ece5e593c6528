#include "app/treemap/TreemapTileAccessible.h"

#include <QWindow>

#include "app/treemap/TreemapView.h"

TTreemapTileAccessible::TTreemapTileAccessible(QAccessibleInterface* parent,
                                               const TTreemapView* view, int index)
    : parent_(parent), view_(view), index_(index) {}

int TTreemapTileAccessible::Tile() const {
    const std::vector<int> tiles = view_->TopTiles();
    return index_ < static_cast<int>(tiles.size()) ? tiles[static_cast<std::size_t>(index_)] : -1;
}

bool TTreemapTileAccessible::isValid() const {
    return parent_->isValid() && Tile() > 0;
}

QWindow* TTreemapTileAccessible::window() const {
    return parent_->window();
}

QString TTreemapTileAccessible::text(QAccessible::Text t) const {
    const int tile = Tile();
    if (tile <= 0)
        return QString();
    if (t == QAccessible::Name)
        return view_->SpokenTile(tile);
    if (t == QAccessible::Description)
        return parent_->text(QAccessible::Name);
    return QString();
}

QRect TTreemapTileAccessible::rect() const {
    const int tile = Tile();
    if (tile <= 0)
        return QRect();
    const QRect local = view_->Layout().Tile(tile).Rect;
    return QRect(view_->mapToGlobal(local.topLeft()), local.size());
}

QAccessible::State TTreemapTileAccessible::state() const {
    QAccessible::State state;
    state.focusable = true;
    state.selectable = true;
    state.invisible = !view_->isVisible();
    // A tile further down chosen chooses the child it lies in.
    const bool chosen = Tile() > 0 && view_->TopTileOf(view_->Chosen()) == Tile();
    state.selected = chosen;
    state.focused = chosen && view_->hasFocus();
    return state;
}
