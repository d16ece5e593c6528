#pragma once
// One slice of the pie for a screen reader: a list item whose name tells the
// slice's name, size and share as the views draw them. It stands for the
// slice at its position, whatever the pie shows there now, and is invalid
// while the pie has fewer slices.
#include <QAccessibleInterface>

class TPieControl;
struct TPieSlice;

class TPieSliceAccessible : public QAccessibleInterface {
  public:
    // parent: the pie's own interface, which owns the slice's.
    TPieSliceAccessible(QAccessibleInterface* parent, const TPieControl* pie, int index);

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override;

  private:
    const TPieSlice* Slice() const;

    QAccessibleInterface* parent_;
    const TPieControl* pie_;
    int index_;
};
