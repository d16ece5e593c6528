#pragma once

#include <QTreeWidget>
#include <functional>

class QFrame;
class QPainter;

class TPBExListview;

// (Sender, columnindex, columnwidth); columnwidth is -1 when the header did
// not report one.
using TLVColumnResizeEvent = std::function<void(TPBExListview*, int, int)>;

// A report-style list of rows that also reports the user's column resizing.
// A divider drag shows a tracking line and the column takes its new width
// only when the mouse is released, so whatever sits beside the columns (the
// sort selector) moves once instead of with every pixel.
class TPBExListview : public QTreeWidget {
    Q_OBJECT
  public:
    explicit TPBExListview(QWidget* parent = nullptr);

    TLVColumnResizeEvent OnBeginColumnResize;
    TLVColumnResizeEvent OnEndColumnResize;
    TLVColumnResizeEvent OnColumnResize;

    // Cell drawing hook: runs before a cell is drawn; clearing defaultDraw
    // means the handler has drawn the cell itself.
    std::function<void(QPainter&, QTreeWidgetItem* row, int cellIndex, bool& defaultDraw)>
        OnCustomDrawSubItem;

    // Row order: a negative result puts the first row first.
    std::function<int(QTreeWidgetItem*, QTreeWidgetItem*)> OnCompare;

    std::function<void(int column)> OnColumnClick;

    // Enter or keypad Enter on the current row (the owner acts as on a
    // double click).
    std::function<void(QTreeWidgetItem* row)> OnEnterKey;

    // Sorts the rows with OnCompare. The compare may never report equality,
    // so the sort must stay well defined for any answers it gets.
    void CustomSort();

    // The caption of each column, set as one list.
    void SetColumns(const QStringList& captions, const QList<int>& widths);
    int ColumnWidth(int column) const;
    void SetColumnWidth(int column, int width);

    // The whole bounding rectangle of a row in the coordinates the rows are
    // painted in.
    QRect RowRect(const QTreeWidgetItem* row) const;

    // Index of the column a header item stands for, by its caption; -1 when
    // none matches.
    int ColumnIndexOfHeaderItem(int item) const;

    bool TrackingColumn() const { return FTrackSection >= 0; }
    // The x of the tracking line in the list's own coordinates (-1 when not
    // tracking); used by tests and for drawing the line.
    int TrackingLineX() const;

  protected:
    virtual void DoBeginColumnResize(int columnindex, int columnwidth);
    virtual void DoEndColumnResize(int columnindex, int columnwidth);
    virtual void DoColumnResize(int columnindex, int columnwidth);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    int DividerAt(int x) const;
    void BeginTrack(int section, int x);
    void MoveTrack(int x);
    void EndTrack(int x);
    int TrackedWidth(int x) const;
    void PlaceTrackingLine(int width);

    int FTrackSection = -1;
    int FTrackStartX = 0;
    int FTrackStartWidth = 0;
    int FTrackWidth = 0;
    QFrame* FTrackLine = nullptr;
};
