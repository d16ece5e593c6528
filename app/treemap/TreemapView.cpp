#include "app/treemap/TreemapView.h"

#include <QAccessible>
#include <QPainter>
#include <algorithm>

#include "engine/ResultStore.h"
#include "views/common/ConvertError.h"
#include "views/common/NumberText.h"
#include "views/tree/ShellListModel.h"
#include "views/treemap/TreemapColours.h"
#include "views/treemap/TreemapCushions.h"
#include "views/treemap/TreemapTileText.h"
#include "views/treemap/TreemapViewsFeed.h"

TTreemapView::TTreemapView(QWidget* parent) : QWidget(parent) {
    setObjectName("TreemapView");
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(40, 40);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TTreemapView::SetLinks(TLinks links) {
    links_ = std::move(links);
    Refresh();
}

void TTreemapView::Refresh() {
    stale_ = true;
    if (isVisible())
        Rebuild();
}

void TTreemapView::Rebuild() {
    stale_ = false;
    if (!links_.Store || !links_.Listing || !links_.Bar)
        return;
    const TResultStore& store = *links_.Store;
    source_ = std::make_unique<TTreemapSource>(store.GlobalDirs(), store.ShownSizes());
    source_->SetFiles(links_.LargestFiles ? links_.LargestFiles() : std::vector<TLargeFile>(),
                      store.DiskUsage);
    try {
        FeedTop(*source_, store, *links_.Listing, *links_.Bar);
    } catch (const EConvertError&) {
        source_->SetTop(links_.Listing->Root(), -1, 0, {});
    }
    Relayout();
}

void TTreemapView::Relayout() {
    try {
        layout_.Build(*source_, size());
    } catch (const EConvertError&) {
        // Results edited by hand: the bar list says what is wrong; the
        // treemap shows the folder without tiles.
        source_->SetTop(links_.Listing->Root(), -1, 0, {});
        layout_.Build(*source_, size());
    }
    Draw();
    // The choice stays on the same item where it is still shown.
    const std::string kept = chosenPath_;
    chosen_ = -1;
    for (int i = 1; !kept.empty() && i < layout_.Count(); ++i)
        if (layout_.Tile(i).Item.Kind != TTileKind::Rest && TilePathOf(i) == kept) {
            chosen_ = i;
            break;
        }
    update();
    if (QAccessible::isActive()) {
        QAccessibleEvent changed(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&changed);
    }
}

void TTreemapView::Draw() {
    const TResultChanges* changes = links_.Changes ? links_.Changes() : nullptr;
    const TTreemapSource& source = *source_;
    picture_ = RenderTreemap(layout_, [&source, changes](const TTreemapTile& tile) {
        return TreemapTileColour(source, tile, changes);
    });
}

int TTreemapView::TileAt(QPoint point) const {
    return source_ ? layout_.TileAt(point) : -1;
}

QString TTreemapView::HintAt(QPoint point) const {
    const int tile = TileAt(point);
    return tile > 0 ? TileHint(*source_, layout_.Tile(tile)) : QString();
}

std::vector<int> TTreemapView::TopTiles() const {
    std::vector<int> tiles;
    if (layout_.Count() == 0)
        return tiles;
    const TTreemapTile& root = layout_.Tile(0);
    for (int c = root.FirstChild; c >= 0 && c < root.FirstChild + root.ChildCount; ++c)
        if (layout_.Tile(c).Item.Kind != TTileKind::Rest)
            tiles.push_back(c);
    return tiles;
}

int TTreemapView::TopTileOf(int tile) const {
    if (tile <= 0 || tile >= layout_.Count())
        return -1;
    while (layout_.Tile(tile).Depth > 1)
        tile = layout_.Tile(tile).Parent;
    return tile;
}

std::string TTreemapView::TilePathOf(int tile) const {
    if (!source_ || tile < 0 || tile >= layout_.Count())
        return std::string();
    return TilePath(*source_, layout_.Tile(tile));
}

QString TTreemapView::SpokenTile(int tile) const {
    if (!source_ || tile < 0 || tile >= layout_.Count())
        return QString();
    const TTreemapTile& t = layout_.Tile(tile);
    return TileName(*source_, t) + QStringLiteral(", ") +
           QString::fromStdString(FormatMB(std::to_string(t.Item.Size))) + QStringLiteral(" MB, ") +
           TileShare(*source_, t) + QStringLiteral(" %");
}

void TTreemapView::Choose(int tile, bool tell) {
    chosen_ = tile > 0 && tile < layout_.Count() ? tile : -1;
    chosenPath_ = chosen_ > 0 ? TilePathOf(chosen_) : std::string();
    update();
    if (chosen_ > 0 && QAccessible::isActive()) {
        const std::vector<int> top = TopTiles();
        const auto at = std::find(top.begin(), top.end(), TopTileOf(chosen_));
        if (at != top.end()) {
            QAccessibleEvent focus(this, QAccessible::Focus);
            focus.setChild(static_cast<int>(at - top.begin()));
            QAccessible::updateAccessibility(&focus);
        }
    }
    if (tell)
        TellChosen();
}

void TTreemapView::ChoosePath(const std::string& path) {
    if (!source_)
        return;
    for (std::size_t i = 0; i < source_->Top().size(); ++i)
        if (source_->Top()[i].Path == path) {
            Choose(layout_.TileOfTop(static_cast<int>(i)), false);
            return;
        }
    Choose(-1, false);
}

void TTreemapView::TellChosen() {
    if (chosen_ <= 0 || !OnChosen)
        return;
    const TTreemapTile& tile = layout_.Tile(chosen_);
    const std::string path = TilePathOf(chosen_);
    std::string folder = path;
    if (tile.Item.Kind == TTileKind::File) {
        const std::size_t slash = path.rfind('\\');
        folder = slash == std::string::npos ? path : path.substr(0, slash);
    }
    const std::string row =
        tile.Top >= 0 ? source_->Top()[static_cast<std::size_t>(tile.Top)].Path : std::string();
    OnChosen(path, folder, row);
}

void TTreemapView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (stale_ || picture_.isNull()) {
        painter.fillRect(rect(), palette().window());
        return;
    }
    painter.drawImage(0, 0, picture_);
    if (chosen_ > 0) {
        // Two rings, white over black, show on any colour.
        const QRect r = layout_.Tile(chosen_).Rect;
        painter.setPen(QPen(Qt::black, 1));
        painter.drawRect(r.adjusted(0, 0, -1, -1));
        painter.setPen(QPen(Qt::white, 1));
        painter.drawRect(r.adjusted(1, 1, -2, -2));
    }
}

void TTreemapView::resizeEvent(QResizeEvent*) {
    if (!isVisible())
        return;  // laid out when shown
    if (stale_ || !source_)
        Rebuild();
    else if (layout_.Size() != size())
        Relayout();
}

void TTreemapView::showEvent(QShowEvent*) {
    if (stale_ || layout_.Size() != size())
        Rebuild();
}
