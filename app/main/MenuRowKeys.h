#pragma once

#include <QObject>
#include <vector>

class QMenu;
class QWidgetAction;
class TMenuCell;

// The keyboard of a menu made of two-column rows (TMenuCell): Up and Down
// move between rows and keep the column, Left and Right move between the
// item and its "?" (and on to the neighbouring menu of the menu bar at the
// outer edges), Enter or Space runs the selected cell, Escape closes the
// menu, and a mnemonic runs its item, or, when several cells share it (the
// "?" cells), selects the next of them.
class TMenuRowKeys : public QObject {
    Q_OBJECT
  public:
    // Installs itself on the menu, once; returns the menu's handler.
    static TMenuRowKeys* Of(QMenu* menu);

    void AddRow(QWidgetAction* row, TMenuCell* left, TMenuCell* right);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct TRow {
        QWidgetAction* action;
        TMenuCell* cells[2];
    };
    explicit TMenuRowKeys(QMenu* menu);

    // Row and column of the cell with the focus; row -1 when none has it.
    std::pair<int, int> Current() const;
    bool Select(int row, int column);
    bool MoveRow(int step);
    bool MoveColumn(int step);
    bool Mnemonic(QChar key);
    bool Usable(const TMenuCell* cell) const;

    QMenu* FMenu;
    std::vector<TRow> FRows;
};
