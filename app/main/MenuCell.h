#pragma once

#include <QWidget>

class QAction;
class QStyleOptionMenuItem;

// One menu item drawn and acting like a native menu entry, for menus whose
// items stand in two columns. The cell under the pointer or reached with
// the arrow keys has the focus and is drawn selected.
class TMenuCell : public QWidget {
    Q_OBJECT
  public:
    TMenuCell(QAction* action, QWidget* parent);

    QAction* Action() const { return FAction; }
    QSize sizeHint() const override;
    // The item's mnemonic character (after "&"), lower case; null if none.
    QChar Mnemonic() const;
    // Drawn selected and given the keys: the cell is its menu's focus
    // widget. (While a menu is up, the application's focus may rest on the
    // menu bar; the keys go to the menu's focus widget all the same.)
    bool Selected() const;
    // When the item is enabled: closes the menus it stands in, as a native
    // item does, then runs it. A disabled item does nothing.
    void Activate();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void InitOption(QStyleOptionMenuItem* option) const;

    QAction* FAction;
};
