#pragma once
// The treemap as a screen reader and automation tools see it: a chart named
// after the current folder whose children are the tiles of the current
// folder's children, largest first, each read with its name, size and
// share as the pie's slices are. The chosen tile is the focused child.
#include <QAccessibleWidget>
#include <vector>

class TTreemapView;

class TTreemapAccessible : public QAccessibleWidget {
  public:
    explicit TTreemapAccessible(TTreemapView* view);
    ~TTreemapAccessible() override;

    TTreemapView* View() const;

    QString text(QAccessible::Text t) const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

  private:
    // Made when first asked for and kept by position: a child reads the
    // tile now at its position.
    mutable std::vector<QAccessible::Id> children_;
};

// Makes QAccessible create a TTreemapAccessible for every treemap view;
// the first call installs the factory, later ones do nothing.
void InstallTreemapAccessibleFactory();
