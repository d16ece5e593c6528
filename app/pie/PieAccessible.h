#pragma once
// The pie as a screen reader and automation tools see it: a chart named by
// its folder, described by its caption, whose children are its slices in
// angle order. The slice the keys chose is the focused child.
#include <QAccessibleWidget>
#include <vector>

class TPieControl;

class TPieAccessible : public QAccessibleWidget {
  public:
    explicit TPieAccessible(TPieControl* pie);
    ~TPieAccessible() override;

    TPieControl* Pie() const;

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

  private:
    // The slice interfaces, made when first asked for and kept by position:
    // a slice reads the control's current slice at its position.
    mutable std::vector<QAccessible::Id> children_;
};

// Makes QAccessible create a TPieAccessible for every pie control; the
// first call installs the factory, later ones do nothing.
void InstallPieAccessibleFactory();
