#include "app/treemap/TreemapAccessible.h"

#include "app/treemap/TreemapTileAccessible.h"
#include "app/treemap/TreemapView.h"
#include "views/common/DisplayText.h"

namespace {

QAccessibleInterface* TreemapFactory(const QString& className, QObject* object) {
    if (className != QLatin1String(TTreemapView::staticMetaObject.className()))
        return nullptr;
    auto* view = qobject_cast<TTreemapView*>(object);
    return view ? new TTreemapAccessible(view) : nullptr;
}

}  // namespace

TTreemapAccessible::TTreemapAccessible(TTreemapView* view)
    : QAccessibleWidget(view, QAccessible::Chart) {}

TTreemapAccessible::~TTreemapAccessible() {
    for (QAccessible::Id id : children_)
        QAccessible::deleteAccessibleInterface(id);
}

TTreemapView* TTreemapAccessible::View() const {
    return static_cast<TTreemapView*>(widget());
}

QString TTreemapAccessible::text(QAccessible::Text t) const {
    if (t == QAccessible::Name) {
        const TTreemapSource* source = View()->Source();
        return QStringLiteral("Treemap of ") +
               (source ? DisplayText(source->TopPath()) : QString());
    }
    return QAccessibleWidget::text(t);
}

int TTreemapAccessible::childCount() const {
    return static_cast<int>(View()->TopTiles().size());
}

QAccessibleInterface* TTreemapAccessible::child(int index) const {
    if (index < 0 || index >= childCount())
        return nullptr;
    while (static_cast<int>(children_.size()) <= index) {
        auto* tile = new TTreemapTileAccessible(const_cast<TTreemapAccessible*>(this), View(),
                                                static_cast<int>(children_.size()));
        children_.push_back(QAccessible::registerAccessibleInterface(tile));
    }
    return QAccessible::accessibleInterface(children_[static_cast<std::size_t>(index)]);
}

int TTreemapAccessible::indexOfChild(const QAccessibleInterface* child) const {
    for (std::size_t i = 0; i < children_.size() && static_cast<int>(i) < childCount(); ++i)
        if (QAccessible::accessibleInterface(children_[i]) == child)
            return static_cast<int>(i);
    return -1;
}

QAccessibleInterface* TTreemapAccessible::childAt(int x, int y) const {
    const TTreemapView* view = View();
    const int tile = view->Layout().TileAt(view->mapFromGlobal(QPoint(x, y)), 1);
    const std::vector<int> top = view->TopTiles();
    for (std::size_t i = 0; i < top.size(); ++i)
        if (top[i] == tile)
            return child(static_cast<int>(i));
    return nullptr;
}

QAccessibleInterface* TTreemapAccessible::focusChild() const {
    const TTreemapView* view = View();
    if (!view->hasFocus())
        return nullptr;
    const std::vector<int> top = view->TopTiles();
    for (std::size_t i = 0; i < top.size(); ++i)
        if (top[i] == view->TopTileOf(view->Chosen()))
            return child(static_cast<int>(i));
    return nullptr;
}

void InstallTreemapAccessibleFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(&TreemapFactory);
        return true;
    }();
    (void)installed;
}
