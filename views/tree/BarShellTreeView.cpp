#include "views/tree/BarShellTreeView.h"

#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <unordered_map>

#include "views/common/EnterKey.h"
#include "views/common/SpokenText.h"
#include "views/tree/TreeNode.h"

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kListedRole = Qt::UserRole + 1;
constexpr int kExcludedRole = Qt::UserRole + 2;

// The percent as the bar reads it: the number cut toward zero and kept in
// one byte; 0 when the text is not a number.
int PercentByte(std::string_view text) {
    if (text.empty()) {
        return 0;
    }
    const std::string copy(text);  // strtod reads up to a NUL
    const char* begin = copy.c_str();
    char* end = nullptr;
    errno = 0;
    double value = std::strtod(begin, &end);
    if (end == begin || *end != '\0' || errno == ERANGE || !std::isfinite(value)) {
        return 0;
    }
    double cut = std::trunc(value);
    if (std::fabs(cut) > 9.0e18) {
        return 0;
    }
    return static_cast<int>(static_cast<unsigned char>(static_cast<long long>(cut) & 0xFF));
}

// Every existing node in the fully expanded order.
void Walk(QTreeWidgetItem* node, const std::function<void(QTreeWidgetItem*)>& visit) {
    visit(node);
    for (int i = 0; i < node->childCount(); ++i) {
        Walk(node->child(i), visit);
    }
}

void WalkAll(const QTreeWidget* tree, const std::function<void(QTreeWidgetItem*)>& visit) {
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        Walk(tree->topLevelItem(i), visit);
    }
}

// A drive-form path without the backslash a drive's root may end with.
std::string_view Bare(std::string_view path) {
    while (!path.empty() && path.back() == '\\') {
        path.remove_suffix(1);
    }
    return path;
}

// Whether path is folder or lies below it (both bare).
bool AtOrBelow(std::string_view path, std::string_view folder) {
    return path.substr(0, folder.size()) == folder &&
           (path.size() == folder.size() || path[folder.size()] == '\\');
}

bool IsBelow(const QTreeWidgetItem* node, const QTreeWidgetItem* above) {
    for (; node; node = node->parent()) {
        if (node == above) {
            return true;
        }
    }
    return false;
}

}  // namespace

TBarShellTreeView::TBarShellTreeView(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(false);
    setIndentation(kPlainIndent);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    header()->setStretchLastSection(true);
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* node) {
        Populate(node);
        if (OnChange) {
            OnChange(node);
        }
    });
    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) {
                if (OnChange) {
                    OnChange(current);
                }
            });
}

void TBarShellTreeView::SetShowBarCharts(bool value) {
    FShowBarCharts = value;
    viewport()->update();
}

void TBarShellTreeView::SetBarOutline(bool value) {
    FBarOutline = value;
    viewport()->update();
}

void TBarShellTreeView::SetBarColor(const QColor& value) {
    FBarColor = value;
    viewport()->update();
}

void TBarShellTreeView::SetShadow(bool value) {
    FShadow = value;
    viewport()->update();
}

void TBarShellTreeView::SetBarLists(const TStringList& percents, const TStringList& dirs) {
    FPercents = percents;
    FDirs = dirs;
    SetShowBarCharts(true);
}

std::string TBarShellTreeView::NodePath(const QTreeWidgetItem* node) {
    if (!node) {
        return {};
    }
    return node->data(0, kPathRole).toByteArray().toStdString();
}

QTreeWidgetItem* TBarShellTreeView::MakeNode(const TTreeFolder& folder) {
    auto* node = new TTreeNode();
    node->setText(0, folder.displayName);
    node->setIcon(0, folder.icon);
    node->setData(0, kPathRole, QByteArray::fromStdString(folder.path));
    node->setData(0, kListedRole, false);
    // Whether a folder has subfolders is learnt when it is first opened.
    node->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    MarkExcluded(node);
    return node;
}

void TBarShellTreeView::MarkExcluded(QTreeWidgetItem* node) {
    const std::string why = FExclusion ? FExclusion(NodePath(node)) : std::string();
    if (why == NodeExclusion(node))
        return;  // a node never excluded keeps the look it was made with
    node->setData(0, kExcludedRole, QByteArray::fromStdString(why));
    node->setToolTip(
        0, why.empty() ? QString() : QStringLiteral("Excluded by ") + QString::fromStdString(why));
    node->setForeground(
        0, why.empty() ? QBrush() : palette().brush(QPalette::Disabled, QPalette::Text));
    QFont font = node->font(0);
    font.setItalic(!why.empty());
    node->setFont(0, font);
}

std::string TBarShellTreeView::NodeExclusion(const QTreeWidgetItem* node) {
    return node ? node->data(0, kExcludedRole).toByteArray().toStdString() : std::string();
}

void TBarShellTreeView::RemarkExcluded() {
    if (!FExclusion)
        return;
    WalkAll(this, [this](QTreeWidgetItem* node) {
        if (node->parent())  // the root is never left out
            MarkExcluded(node);
    });
    viewport()->update();
}

void TBarShellTreeView::SetRoot(const std::string& path, const QString& caption,
                                const QIcon& icon) {
    clear();
    FRoot = path;
    QTreeWidgetItem* root = MakeNode({path, caption, icon});
    addTopLevelItem(root);
    Populate(root);
    root->setExpanded(true);
}

void TBarShellTreeView::Populate(QTreeWidgetItem* node) {
    if (node->data(0, kListedRole).toBool()) {
        return;
    }
    node->setData(0, kListedRole, true);
    if (FLister) {
        for (const TTreeFolder& folder : FLister(NodePath(node))) {
            node->addChild(MakeNode(folder));
        }
    }
    node->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

void TBarShellTreeView::ExpandNode(QTreeWidgetItem* node) {
    if (!node) {
        return;
    }
    Populate(node);
    node->setExpanded(true);
}

void TBarShellTreeView::Repopulate(QTreeWidgetItem* node,
                                   const std::vector<std::string>& expanded) {
    for (QTreeWidgetItem* child : node->takeChildren()) {
        delete child;
    }
    node->setData(0, kListedRole, false);
    Populate(node);
    for (int i = 0; i < node->childCount(); ++i) {
        QTreeWidgetItem* child = node->child(i);
        if (std::binary_search(expanded.begin(), expanded.end(), NodePath(child))) {
            Repopulate(child, expanded);
            child->setExpanded(true);
        }
    }
}

void TBarShellTreeView::RefreshFrom(QTreeWidgetItem* node) {
    if (!node) {
        return;
    }
    std::vector<std::string> expanded;
    Walk(node, [&](QTreeWidgetItem* n) {
        if (n->isExpanded()) {
            expanded.push_back(NodePath(n));
        }
    });
    std::sort(expanded.begin(), expanded.end());
    const std::string selected = NodePath(currentItem());
    const std::string top = NodePath(itemAt(QPoint(1, 1)));
    const bool wasExpanded = node->isExpanded();

    QSignalBlocker quiet(this);
    Repopulate(node, expanded);
    node->setExpanded(wasExpanded);
    WalkAll(this, [&](QTreeWidgetItem* n) {
        std::string path = NodePath(n);
        if (!selected.empty() && path == selected) {
            setCurrentItem(n);
        }
        if (!top.empty() && path == top) {
            scrollToItem(n, QAbstractItemView::PositionAtTop);
        }
    });
}

void TBarShellTreeView::RefreshTreeFolders(const std::vector<std::string>& parents) {
    // The nodes' own signals would enter the folder a node's removal
    // selects, as a click there does.
    const QSignalBlocker quiet(this);
    for (const std::string& parent : parents) {
        QTreeWidgetItem* node = FindNode(parent);
        // A folder never listed lists itself afresh when it is opened.
        if (node && node->data(0, kListedRole).toBool()) {
            Relist(node);
        }
    }
}

QTreeWidgetItem* TBarShellTreeView::FindNode(const std::string& path) const {
    const std::string_view wanted = Bare(path);
    QTreeWidgetItem* node = topLevelItemCount() > 0 ? topLevelItem(0) : nullptr;
    if (!node || !AtOrBelow(wanted, Bare(NodePath(node)))) {
        return nullptr;
    }
    // Each step goes to the child the path runs through.
    while (node && Bare(NodePath(node)) != wanted) {
        QTreeWidgetItem* through = nullptr;
        for (int i = 0; i < node->childCount() && !through; ++i) {
            if (AtOrBelow(wanted, NodePath(node->child(i)))) {
                through = node->child(i);
            }
        }
        node = through;
    }
    return node;
}

void TBarShellTreeView::Relist(QTreeWidgetItem* node) {
    const std::vector<TTreeFolder> folders =
        FLister ? FLister(NodePath(node)) : std::vector<TTreeFolder>();
    std::unordered_map<std::string, QTreeWidgetItem*> kept;
    for (const TTreeFolder& folder : folders) {
        kept.emplace(folder.path, nullptr);
    }
    for (int i = node->childCount(); i-- > 0;) {
        QTreeWidgetItem* child = node->child(i);
        const auto it = kept.find(NodePath(child));
        if (it != kept.end()) {
            it->second = child;
            continue;
        }
        if (IsBelow(currentItem(), child)) {
            setCurrentItem(node);
        }
        delete node->takeChild(i);
    }
    // The nodes kept are already in the listing's order, as their names
    // are: only the new ones go in between.
    for (std::size_t i = 0; i < folders.size(); ++i) {
        const int at = static_cast<int>(i);
        QTreeWidgetItem* have = kept[folders[i].path];
        if (!have) {
            node->insertChild(at, MakeNode(folders[i]));
        } else if (node->child(at) != have) {
            MoveChild(node, have, at);
        }
    }
}

void TBarShellTreeView::MoveChild(QTreeWidgetItem* node, QTreeWidgetItem* child, int at) {
    // A node taken out forgets which nodes below it were expanded.
    std::vector<QTreeWidgetItem*> expanded;
    Walk(child, [&](QTreeWidgetItem* n) {
        if (n->isExpanded()) {
            expanded.push_back(n);
        }
    });
    QTreeWidgetItem* current = currentItem();
    const bool inside = IsBelow(current, child);
    node->takeChild(node->indexOfChild(child));
    node->insertChild(at, child);
    for (QTreeWidgetItem* n : expanded) {
        n->setExpanded(true);
    }
    if (inside) {
        setCurrentItem(current);
    }
}

int TBarShellTreeView::NodeCount() const {
    int count = 0;
    WalkAll(this, [&](QTreeWidgetItem*) { ++count; });
    return count;
}

std::vector<QTreeWidgetItem*> TBarShellTreeView::Nodes() const {
    std::vector<QTreeWidgetItem*> nodes;
    WalkAll(this, [&](QTreeWidgetItem* n) { nodes.push_back(n); });
    return nodes;
}

QTreeWidgetItem* TBarShellTreeView::Node(int absoluteIndex) const {
    int index = 0;
    QTreeWidgetItem* found = nullptr;
    WalkAll(this, [&](QTreeWidgetItem* n) {
        if (index++ == absoluteIndex) {
            found = n;
        }
    });
    return found;
}

QRect TBarShellTreeView::NodeRowRect(const QTreeWidgetItem* node) const {
    QRect cell = visualItemRect(node);
    if (cell.isEmpty()) {
        return {};
    }
    return QRect(0, cell.top(), viewport()->width(), cell.height());
}

QRect TBarShellTreeView::NodeTextRect(const QTreeWidgetItem* node) const {
    QModelIndex index = indexFromItem(node);
    QRect cell = visualRect(index);
    if (cell.isEmpty()) {
        return {};
    }
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = cell;
    option.text = node->text(0);
    option.icon = node->icon(0);
    option.features |= QStyleOptionViewItem::HasDisplay;
    if (!option.icon.isNull()) {
        option.features |= QStyleOptionViewItem::HasDecoration;
    }
    return style()->subElementRect(QStyle::SE_ItemViewItemText, &option, this);
}

std::optional<std::string_view> TBarShellTreeView::PercentText(const std::string& path) const {
    if (path.find(':') == std::string::npos) {
        return std::nullopt;
    }
    // Bisection in byte order; the first of equal entries.
    auto it = std::lower_bound(FDirs.begin(), FDirs.end(), path);
    if (it == FDirs.end() || *it != path) {
        return std::nullopt;
    }
    size_t k = static_cast<size_t>(it - FDirs.begin());
    // The two lists may come out of different lengths.
    if (k >= FPercents.size()) {
        return std::nullopt;
    }
    return FPercents[k];
}

int TBarShellTreeView::BarPercent(const std::string& path) const {
    const std::optional<std::string_view> text = PercentText(path);
    return text ? PercentByte(*text) : 0;
}

QString TBarShellTreeView::SpokenNode(const QTreeWidgetItem* node) const {
    const std::string path = NodePath(node);
    // A drive's root ("C:\") is kept as "C:" in the analysis.
    const std::string stored =
        path.size() == 3 && path[1] == ':' && path[2] == '\\' ? path.substr(0, 2) : path;
    std::optional<QString> size;
    if (!NodeExclusion(node).empty())
        size = QString::fromLatin1(kExcludedWord);
    else if (const auto bytes = FSizeLookup ? FSizeLookup(stored) : std::nullopt)
        size = SpokenBytesAsMB(std::to_string(*bytes));
    else
        size = QStringLiteral("not analysed");
    std::optional<QString> share;
    const std::optional<std::string_view> percent =
        FShowBarCharts ? PercentText(path) : std::nullopt;
    if (percent)
        share = SpokenShare(QString::fromUtf8(percent->data(), static_cast<int>(percent->size())));
    return SpokenItem(node->text(0), size, share);
}

void TBarShellTreeView::PaintBars(QPainter& canvas) {
    QTreeWidgetItem* first = topLevelItemCount() > 0 ? topLevelItem(0) : nullptr;
    canvas.setRenderHint(QPainter::Antialiasing, false);
    WalkAll(this, [&](QTreeWidgetItem* node) {
        if (!NodeExclusion(node).empty()) {
            PaintExcludedMark(canvas, node);
            return;
        }
        int n = BarPercent(NodePath(node));
        if (n == 0) {
            return;
        }
        const QTreeWidgetItem* owner = node->parent() ? node->parent() : first;
        int x0 = NodeTextRect(owner).left() - 1;
        QRect row = NodeRowRect(node);
        // Undisplayed nodes have an empty rectangle; so, in effect, does the
        // row at the very top.
        int top = row.top();
        if (top == 0) {
            return;
        }
        int bottom = row.top() + row.height();
        if (FBarOutline) {
            canvas.setPen(QPen(QColor(192, 192, 192), 0));
            canvas.setBrush(Qt::NoBrush);
            // A stroked QRect covers one pixel more than its size: this
            // outline runs from x0 to x0 + 33 and from top + 5 to bottom - 6.
            canvas.drawRect(QRect(x0, top + 5, kBarLength - 1, (bottom - 5) - (top + 5) - 1));
        }
        int length = static_cast<int>(std::trunc(n / 100.0 * kBarLength));
        canvas.fillRect(QRect(x0 + 1, top + 6, length, (bottom - 6) - (top + 6)), FBarColor);
    });
}

void TBarShellTreeView::PaintExcludedMark(QPainter& canvas, const QTreeWidgetItem* node) const {
    // The word after the name, where the bar list shows it in place of a
    // size: the results hold nothing of the folder, so it has no bar.
    const QRect text = NodeTextRect(node);
    if (text.isEmpty())
        return;
    QFont italic = font();
    italic.setItalic(true);
    const QString word = QStringLiteral("(%1)").arg(QLatin1String(kExcludedWord));
    const QFontMetrics metrics(italic);
    const int left =
        text.left() + metrics.horizontalAdvance(node->text(0)) + metrics.averageCharWidth();
    canvas.save();
    canvas.setFont(italic);
    canvas.setPen(palette().color(QPalette::Disabled, QPalette::Text));
    canvas.drawText(QRect(left, text.top(), metrics.horizontalAdvance(word) + 2, text.height()),
                    Qt::AlignLeft | Qt::AlignVCenter, word);
    canvas.restore();
}

void TBarShellTreeView::keyPressEvent(QKeyEvent* event) {
    if (IsPlainEnter(*event) && OnEnterKey && currentItem()) {
        OnEnterKey(currentItem());
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void TBarShellTreeView::paintEvent(QPaintEvent* event) {
    const bool bars = !FPercents.empty() && !FDirs.empty() && FShowBarCharts;
    if (!bars) {
        if (indentation() != kPlainIndent) {
            setIndentation(kPlainIndent);
        }
    } else if (indentation() < kBarIndent) {
        setIndentation(kBarIndent);
    }
    QTreeWidget::paintEvent(event);
    if (bars) {
        QPainter canvas(viewport());
        PaintBars(canvas);
    }
}

void TBarShellTreeView::drawBranches(QPainter* painter, const QRect& rect,
                                     const QModelIndex& index) const {
    // No connecting lines; the open/close mark sits at the left of the
    // node's indentation column, clear of the size bar that follows it.
    const QTreeWidgetItem* node = itemFromIndex(index);
    if (!node) {
        return;
    }
    bool children =
        node->childCount() > 0 || node->childIndicatorPolicy() == QTreeWidgetItem::ShowIndicator;
    if (!children || indentation() <= 0 || rect.width() < indentation()) {
        return;
    }
    int columnLeft = rect.right() + 1 - indentation();
    // A view item's option, as the tree view itself hands the style: a
    // style sheet anywhere above the tree (the splitter has one) makes the
    // style draw no mark for a plain option.
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = QRect(columnLeft, rect.top(), std::min(indentation(), 20), rect.height());
    option.state = QStyle::State_Item | QStyle::State_Children;
    if (isEnabled())
        option.state |= QStyle::State_Enabled;
    if (node->isExpanded()) {
        option.state |= QStyle::State_Open;
    }
    style()->drawPrimitive(QStyle::PE_IndicatorBranch, &option, painter, this);
}

// The meta-object code is compiled with this file rather than on its own.
#include "moc_BarShellTreeView.cpp"
