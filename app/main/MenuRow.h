#pragma once

#include <QWidget>

class QAction;
class QMenu;

// One menu item drawn and acting like a native menu entry, for menus whose
// items stand in two columns.
class TMenuCell : public QWidget {
    Q_OBJECT
  public:
    TMenuCell(QAction* action, QWidget* parent);

    QAction* Action() const { return FAction; }
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void InitOption(class QStyleOptionMenuItem* option) const;

    QAction* FAction;
    bool FHover = false;
};

// Adds a row to a menu: the item on the left and, in the second column, the
// "?" item that explains it. Returns the "?" cell's widget.
TMenuCell* AddMenuRow(QMenu* menu, QAction* item, QAction* help);
