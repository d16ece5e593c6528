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
#include "views/treemap/TreemapScanFiles.h"
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
    if (auto items = links_.ScanItems ? links_.ScanItems() : nullptr)
        source_->SetFileLister(TTreemapScanFiles(items, links_.Listing->Root().substr(0, 2)),
                               store.DiskUsage);
    else
        source_->SetFiles(links_.LargestFiles ? links_.LargestFiles() : std::vector<TLargeFile>(),
                          store.DiskUsage);
    try {
        FeedTop(*source_, store, *links_.Listing, *links_.Bar);
    } catch (const EConvertError&) {
        source_->SetTop(links_.Listing->Root(), -1, 0, {});
    }
    // A large drive is drawn first without the folders too small to be
    // seen in any detail, and whole at once afterwards: the panel shows its
    // picture after a tenth of the reading. Fewer folders are laid out whole
    // at once, as reading them costs less than drawing twice.
    const bool large = store.GlobalDirs().size() > kLargeDrive;
    pruneDue_ = true;
    Relayout(large ? kFirstPassArea : 0);
}

void TTreemapView::Relayout(int minOpenArea) {
    try {
        layout_.Build(*source_, size(), minOpenArea);
    } catch (const EConvertError&) {
        // Results edited by hand: the bar list says what is wrong; the
        // treemap shows the folder without tiles.
        source_->SetTop(links_.Listing->Root(), -1, 0, {});
        layout_.Build(*source_, size());
    }
    Draw();
    FindChosen();
    if (pruneDue_ && !layout_.Partial()) {
        // Of the tiles chosen with Ctrl, those the new results no longer
        // show (another folder, an item gone) are chosen no more.
        pruneDue_ = false;
        for (std::size_t i = many_.size(); i-- > 0;)
            if (manyTiles_[i] <= 0) {
                many_.erase(many_.begin() + static_cast<std::ptrdiff_t>(i));
                manyTiles_.erase(manyTiles_.begin() + static_cast<std::ptrdiff_t>(i));
            }
    }
    update();
    if (QAccessible::isActive()) {
        QAccessibleEvent changed(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&changed);
    }
    if (layout_.Partial())
        LayOutSoon();
}

void TTreemapView::FindChosen() {
    // The choice stays on the same items where they are still shown.
    chosen_ = -1;
    manyTiles_.assign(many_.size(), -1);
    if (chosenPath_.empty() && many_.empty())
        return;
    for (int i = 1; i < layout_.Count(); ++i) {
        if (layout_.Tile(i).Item.Kind == TTileKind::Rest)
            continue;
        const std::string path = TileKey(i);
        if (path == chosenPath_)
            chosen_ = i;
        const auto at = std::find(many_.begin(), many_.end(), path);
        if (at != many_.end())
            manyTiles_[static_cast<std::size_t>(at - many_.begin())] = i;
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
    chosenPath_ = chosen_ > 0 ? TileKey(chosen_) : std::string();
    many_.clear();
    manyTiles_.clear();
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

std::string TTreemapView::TileKey(int tile) const {
    // The tile of a folder's files has its folder's path: a NUL, which no
    // path holds, tells it from the folder's own tile.
    std::string key = TilePathOf(tile);
    if (layout_.Tile(tile).Item.Kind == TTileKind::OwnFiles)
        key += '\0';
    return key;
}

void TTreemapView::ChoosePaths(const std::vector<std::string>& paths) {
    if (paths.size() < 2) {
        ChoosePath(paths.empty() ? std::string() : paths.front());
        return;
    }
    Choose(-1, false);
    if (!source_)
        return;
    for (const std::string& path : paths)
        for (std::size_t i = 0; i < source_->Top().size(); ++i)
            if (source_->Top()[i].Path == path) {
                const int tile = layout_.TileOfTop(static_cast<int>(i));
                if (tile > 0)
                    Toggle(tile, false);
                break;
            }
}

void TTreemapView::Toggle(int tile, bool tell) {
    if (tile <= 0 || tile >= layout_.Count())
        return;
    if (many_.empty() && chosen_ > 0) {
        many_.push_back(chosenPath_);
        manyTiles_.push_back(chosen_);
    }
    const std::string path = TileKey(tile);
    const auto at = std::find(many_.begin(), many_.end(), path);
    if (at == many_.end()) {
        many_.push_back(path);
        manyTiles_.push_back(tile);
        chosen_ = tile;
        chosenPath_ = path;
        update();
        if (tell)
            TellChosen();
        return;
    }
    manyTiles_.erase(manyTiles_.begin() + (at - many_.begin()));
    many_.erase(at);
    if (tile == chosen_) {
        // The last one chosen before it is the chosen one now.
        chosen_ = manyTiles_.empty() ? -1 : manyTiles_.back();
        chosenPath_ = many_.empty() ? std::string() : many_.back();
    }
    update();
}

std::vector<int> TTreemapView::ChosenTiles() const {
    std::vector<int> tiles;
    for (const int tile : manyTiles_)
        if (tile > 0)
            tiles.push_back(tile);
    if (many_.empty() && chosen_ > 0)
        tiles.push_back(chosen_);
    return tiles;
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
    for (const int tile : ChosenTiles())
        Outline(painter, tile);
}

void TTreemapView::Outline(QPainter& painter, int tile) const {
    // Two rings, white over black, show on any colour.
    const QRect r = layout_.Tile(tile).Rect;
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(r.adjusted(0, 0, -1, -1));
    painter.setPen(QPen(Qt::white, 1));
    painter.drawRect(r.adjusted(1, 1, -2, -2));
}

void TTreemapView::resizeEvent(QResizeEvent*) {
    if (isVisible())
        LayOutSoon();  // else laid out when shown
}

void TTreemapView::showEvent(QShowEvent*) {
    if (stale_ || layout_.Size() != size())
        LayOutSoon();
}

void TTreemapView::LayOutSoon() {
    // Once the events of this turn are handled: a dock shown for the first
    // time is resized right after it shows, and the layout at its first,
    // least size would be thrown away at once.
    if (layoutDue_)
        return;
    layoutDue_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            layoutDue_ = false;
            if (!isVisible())
                return;
            if (stale_ || !source_)
                Rebuild();
            else if (layout_.Size() != size() || layout_.Partial())
                Relayout();
        },
        Qt::QueuedConnection);
}

// The meta-object code is compiled with this file rather than on its own.
#include "moc_TreemapView.cpp"
