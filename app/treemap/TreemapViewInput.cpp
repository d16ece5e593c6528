// What the treemap does with the mouse and the keys.
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolTip>
#include <algorithm>

#include "app/treemap/TreemapView.h"

void TTreemapView::mousePressEvent(QMouseEvent* event) {
    const int tile = TileAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton)
        return;
    if (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ControlModifier)) {
        Toggle(tile);
        return;
    }
    const std::vector<int> chosen = ChosenTiles();
    // The right button in the outline of one of several chosen tiles (on
    // it or on a tile inside it) keeps them all.
    bool inChosen = false;
    for (int t = tile; t > 0 && !inChosen; t = layout_.Tile(t).Parent)
        inChosen = std::find(chosen.begin(), chosen.end(), t) != chosen.end();
    if (event->button() == Qt::RightButton && chosen.size() > 1 && inChosen) {
        if (OnItemsMenu)
            OnItemsMenu(chosen, event->position().toPoint());
        return;
    }
    Choose(tile, true);
    if (event->button() == Qt::RightButton && chosen_ > 0 && OnItemMenu)
        OnItemMenu(TilePathOf(chosen_), event->position().toPoint());
}

void TTreemapView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const int tile = TileAt(event->position().toPoint());
    if (tile > 0 && OnOpen)
        OnOpen(TilePathOf(tile));
}

// The tile beside tile in the arrow key's direction: the one under a point
// just past the middle of that edge, no deeper than tile itself.
int TTreemapView::Neighbour(int tile, int key) const {
    const TTreemapTile& t = layout_.Tile(tile);
    const QRect r = t.Rect;
    QPoint p = r.center();
    switch (key) {
        case Qt::Key_Left:
            p.setX(r.left() - 2);
            break;
        case Qt::Key_Right:
            p.setX(r.right() + 2);
            break;
        case Qt::Key_Up:
            p.setY(r.top() - 2);
            break;
        default:
            p.setY(r.bottom() + 2);
            break;
    }
    const int found = layout_.TileAt(p, t.Depth);
    return found > 0 ? found : tile;
}

void TTreemapView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down: {
            const std::vector<int> top = TopTiles();
            if (chosen_ > 0)
                Choose(Neighbour(chosen_, event->key()), true);
            else if (!top.empty())
                Choose(top.front(), true);
            return;
        }
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (chosen_ > 0 && OnOpen)
                OnOpen(TilePathOf(chosen_));
            return;
        case Qt::Key_Menu:
            if (ChosenTiles().size() > 1 && OnItemsMenu)
                OnItemsMenu(ChosenTiles(), layout_.Tile(ChosenTiles().back()).Rect.center());
            else if (chosen_ > 0 && OnItemMenu)
                OnItemMenu(TilePathOf(chosen_), layout_.Tile(chosen_).Rect.center());
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

bool TTreemapView::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString hint = HintAt(help->pos());
        if (hint.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), hint, this,
                               layout_.Tile(TileAt(help->pos())).Rect);
        return true;
    }
    return QWidget::event(event);
}
