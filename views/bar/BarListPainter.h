#pragma once

#include <QColor>
#include <QRect>

class QPainter;
class QTreeWidgetItem;
class QWidget;
class TBarData;
class TBitmapGradient;
class TPBExListview;
class TResultStore;

// Paints the bar column of the bar list and answers its row order and column
// sums. The bars are drawn only once the bar lists are filled, so a list
// read before the first analysis shows its plain cells.
class TBarListPainter {
  public:
    // window: the owner of the hidden gradient control and of the palette
    // whose dark colour is the shadow's.
    TBarListPainter(TPBExListview& list, const TBarData& data, const TResultStore& store,
                    QWidget& window);

    TBitmapGradient* GradientFill() const { return FGradientFill; }

    // The bars' look: a horizontal gradient from white, framed and shadowed.
    void SetBarProperties();
    void CustomDrawSubItem(QPainter& canvas, QTreeWidgetItem* row, int cellIndex,
                           bool& defaultDraw);
    void DrawBarImage(QPainter& canvas, QTreeWidgetItem* row, int cellIndex);
    QRect BarRect(QTreeWidgetItem* row, int column, int percent) const;
    void DrawWhiteRect(QPainter& canvas, const QRect& r);
    void DrawShadow(QPainter& canvas, const QRect& r);
    void DrawGradientBar(QPainter& canvas, const QRect& r, const QColor& colour);
    // The sum of the column widths: where the sort selector stands.
    int ColumnWidths() const;

    // Row order for the list's sort (see BarCompare).
    static int Compare(int sortColumn, bool sortReverse, QTreeWidgetItem* item1,
                       QTreeWidgetItem* item2);

    bool BarShadow = false;
    bool BarOutLine = false;  // the bar frame switch of the listing

  private:
    TPBExListview& FList;
    const TBarData& FData;
    const TResultStore& FStore;
    QWidget& FWindow;
    TBitmapGradient* FGradientFill = nullptr;  // owned by the window
};
