#include "app/pie/PieSliceAccessible.h"

#include <QWindow>
#include <cmath>

#include "app/pie/PieControl.h"

namespace {

// The bounding box of a slice: its centre and points along its arc.
QRectF SliceBounds(const TPieOutline& o) {
    QRectF box(o.centre, QSizeF(0, 0));
    constexpr int kSteps = 16;
    for (int k = 0; k <= kSteps; ++k) {
        // The same angles as the outline: 0 at nine o'clock, counterclockwise.
        const double a = (o.startAngle + o.sweep * k / kSteps - 90.0) * M_PI / 180.0;
        const QPointF p(o.centre.x() + o.radius * std::sin(a),
                        o.centre.y() + o.radius * std::cos(a));
        box = box.united(QRectF(p, QSizeF(1, 1)));
    }
    return box;
}

}  // namespace

TPieSliceAccessible::TPieSliceAccessible(QAccessibleInterface* parent, const TPieControl* pie,
                                         int index)
    : parent_(parent), pie_(pie), index_(index) {}

const TPieSlice* TPieSliceAccessible::Slice() const {
    const auto& slices = pie_->Slices();
    return index_ < static_cast<int>(slices.size()) ? &slices[static_cast<size_t>(index_)]
                                                    : nullptr;
}

bool TPieSliceAccessible::isValid() const {
    return parent_->isValid() && Slice() != nullptr;
}

QWindow* TPieSliceAccessible::window() const {
    return parent_->window();
}

QAccessibleInterface* TPieSliceAccessible::parent() const {
    return parent_;
}

QString TPieSliceAccessible::text(QAccessible::Text t) const {
    const TPieSlice* slice = Slice();
    if (!slice)
        return QString();
    switch (t) {
        case QAccessible::Name:
            return slice->spoken;
        case QAccessible::Description:
            return parent_->text(QAccessible::Name);
        default:
            return QString();
    }
}

QRect TPieSliceAccessible::rect() const {
    const TPieSlice* slice = Slice();
    if (!slice)
        return QRect();
    const QRect local = SliceBounds(slice->shape).toAlignedRect();
    return QRect(pie_->mapToGlobal(local.topLeft()), local.size());
}

QAccessible::State TPieSliceAccessible::state() const {
    QAccessible::State state;
    const TPieControl* pie = pie_;
    state.focusable = true;
    state.selectable = true;
    state.invisible = !pie->isVisible();
    const bool chosen = pie->FocusSlice() == index_;
    state.selected = chosen;
    state.focused = chosen && pie->hasFocus();
    return state;
}
