#pragma once
// One tile of the treemap for a screen reader: a list item named with the
// tile's name, size in MB and share of the current folder. It stands for
// the current folder's child at its position, and is invalid while the
// treemap shows fewer.
#include <QAccessibleInterface>

class TTreemapView;

class TTreemapTileAccessible : public QAccessibleInterface {
  public:
    // parent: the treemap's own interface, which owns the tile's.
    TTreemapTileAccessible(QAccessibleInterface* parent, const TTreemapView* view, int index);

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override { return parent_; }
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
    int Tile() const;  // -1 when there is none at the position

    QAccessibleInterface* parent_;
    const TTreemapView* view_;
    int index_;
};
