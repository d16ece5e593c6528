#include "app/pie/PieAccessible.h"

#include "app/pie/PieControl.h"
#include "app/pie/PieSliceAccessible.h"

namespace {

QAccessibleInterface* PieFactory(const QString& className, QObject* object) {
    if (className != QLatin1String(TPieControl::staticMetaObject.className()))
        return nullptr;
    auto* pie = qobject_cast<TPieControl*>(object);
    return pie ? new TPieAccessible(pie) : nullptr;
}

}  // namespace

TPieAccessible::TPieAccessible(TPieControl* pie) : QAccessibleWidget(pie, QAccessible::Chart) {}

TPieAccessible::~TPieAccessible() {
    for (QAccessible::Id id : children_) {
        QAccessible::deleteAccessibleInterface(id);
    }
}

TPieControl* TPieAccessible::Pie() const {
    return static_cast<TPieControl*>(widget());
}

// The legend labels on the control repeat the slices' names and sizes; the
// slices alone are the children, so nothing is read twice.
int TPieAccessible::childCount() const {
    return static_cast<int>(Pie()->Slices().size());
}

QAccessibleInterface* TPieAccessible::child(int index) const {
    if (index < 0 || index >= childCount())
        return nullptr;
    while (static_cast<int>(children_.size()) <= index) {
        auto* slice = new TPieSliceAccessible(const_cast<TPieAccessible*>(this), Pie(),
                                              static_cast<int>(children_.size()));
        children_.push_back(QAccessible::registerAccessibleInterface(slice));
    }
    return QAccessible::accessibleInterface(children_[static_cast<size_t>(index)]);
}

int TPieAccessible::indexOfChild(const QAccessibleInterface* child) const {
    for (size_t i = 0; i < children_.size() && static_cast<int>(i) < childCount(); ++i) {
        if (QAccessible::accessibleInterface(children_[i]) == child)
            return static_cast<int>(i);
    }
    return -1;
}

QAccessibleInterface* TPieAccessible::childAt(int x, int y) const {
    return child(Pie()->SliceAt(Pie()->mapFromGlobal(QPoint(x, y))));
}

QAccessibleInterface* TPieAccessible::focusChild() const {
    return Pie()->hasFocus() ? child(Pie()->FocusSlice()) : nullptr;
}

void InstallPieAccessibleFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(&PieFactory);
        return true;
    }();
    (void)installed;
}
