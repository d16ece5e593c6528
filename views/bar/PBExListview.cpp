#include "views/bar/PBExListview.h"

#include <QFrame>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyledItemDelegate>
#include <vector>

#include "views/common/EnterKey.h"

namespace {

// Hands the drawing of each cell to the list's hook first.
class TCellDelegate : public QStyledItemDelegate {
  public:
    explicit TCellDelegate(TPBExListview* list) : QStyledItemDelegate(list), FList(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        bool defaultDraw = true;
        if (FList->OnCustomDrawSubItem) {
            QTreeWidgetItem* row = FList->topLevelItem(index.row());
            painter->save();
            FList->OnCustomDrawSubItem(*painter, row, index.column(), defaultDraw);
            painter->restore();
        }
        if (defaultDraw) {
            QStyledItemDelegate::paint(painter, option, index);
        }
    }

  private:
    TPBExListview* FList;
};

// A merge sort that needs nothing of the compare but an answer: it ends and
// keeps every row even when the compare is inconsistent (it never reports
// equality, so "a before a" is possible). Rows whose compare says the left
// one goes first keep their order.
void MergeSort(std::vector<QTreeWidgetItem*>& rows,
               const std::function<int(QTreeWidgetItem*, QTreeWidgetItem*)>& compare) {
    std::vector<QTreeWidgetItem*> buffer(rows.size());
    for (size_t width = 1; width < rows.size(); width *= 2) {
        for (size_t lo = 0; lo < rows.size(); lo += 2 * width) {
            size_t mid = std::min(lo + width, rows.size());
            size_t hi = std::min(lo + 2 * width, rows.size());
            size_t i = lo, j = mid, k = lo;
            while (i < mid && j < hi) {
                buffer[k++] = compare(rows[i], rows[j]) <= 0 ? rows[i++] : rows[j++];
            }
            while (i < mid)
                buffer[k++] = rows[i++];
            while (j < hi)
                buffer[k++] = rows[j++];
        }
        rows.swap(buffer);
    }
}

}  // namespace

TPBExListview::TPBExListview(QWidget* parent) : QTreeWidget(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setIndentation(0);
    setUniformRowHeights(true);
    setSortingEnabled(false);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setItemDelegate(new TCellDelegate(this));
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    header()->setSectionsClickable(true);
    header()->setSectionResizeMode(QHeaderView::Interactive);
    header()->setSortIndicatorShown(false);
    header()->viewport()->installEventFilter(this);
    connect(header(), &QHeaderView::sectionClicked, this, [this](int section) {
        if (OnColumnClick) {
            OnColumnClick(section);
        }
    });
    FTrackLine = new QFrame(this);
    FTrackLine->setFrameShape(QFrame::NoFrame);
    FTrackLine->setAutoFillBackground(true);
    QPalette pal = FTrackLine->palette();
    pal.setColor(QPalette::Window, Qt::black);
    FTrackLine->setPalette(pal);
    FTrackLine->setAttribute(Qt::WA_TransparentForMouseEvents);
    FTrackLine->hide();
}

void TPBExListview::SetColumns(const QStringList& captions, const QList<int>& widths) {
    setColumnCount(captions.size());
    setHeaderLabels(captions);
    for (int i = 0; i < widths.size() && i < captions.size(); ++i) {
        header()->resizeSection(i, widths[i]);
    }
}

int TPBExListview::ColumnWidth(int column) const {
    return header()->sectionSize(column);
}

void TPBExListview::SetColumnWidth(int column, int width) {
    header()->resizeSection(column, width);
}

QRect TPBExListview::RowRect(const QTreeWidgetItem* row) const {
    QRect r = visualItemRect(row);
    if (r.isEmpty()) {
        return r;
    }
    int left = header()->sectionViewportPosition(0);
    int width = 0;
    for (int c = 0; c < columnCount(); ++c) {
        width += header()->sectionSize(c);
    }
    return QRect(left, r.top(), width, r.height());
}

void TPBExListview::keyPressEvent(QKeyEvent* event) {
    if (IsPlainEnter(*event) && OnEnterKey && currentItem()) {
        OnEnterKey(currentItem());
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void TPBExListview::CustomSort() {
    if (!OnCompare || topLevelItemCount() < 2) {
        return;
    }
    QTreeWidgetItem* current = currentItem();
    QList<QTreeWidgetItem*> selected = selectedItems();
    QList<QTreeWidgetItem*> taken = invisibleRootItem()->takeChildren();
    std::vector<QTreeWidgetItem*> rows(taken.begin(), taken.end());
    MergeSort(rows, OnCompare);
    invisibleRootItem()->addChildren(QList<QTreeWidgetItem*>(rows.begin(), rows.end()));
    if (current) {
        setCurrentItem(current, 0, QItemSelectionModel::NoUpdate);
    }
    for (QTreeWidgetItem* item : selected) {
        item->setSelected(true);
    }
}

int TPBExListview::ColumnIndexOfHeaderItem(int item) const {
    // The header's text is read into a buffer of 128 characters.
    const QTreeWidgetItem* head = headerItem();
    if (item < 0 || item >= columnCount()) {
        return -1;
    }
    QString text = head->text(item).left(127);
    if (text == head->text(item)) {
        return item;
    }
    for (int c = 0; c < columnCount(); ++c) {
        if (head->text(c) == text) {
            return c;
        }
    }
    return -1;
}

void TPBExListview::DoBeginColumnResize(int columnindex, int columnwidth) {
    if (OnBeginColumnResize) {
        OnBeginColumnResize(this, columnindex, columnwidth);
    }
}

void TPBExListview::DoEndColumnResize(int columnindex, int columnwidth) {
    if (OnEndColumnResize) {
        OnEndColumnResize(this, columnindex, columnwidth);
    }
}

void TPBExListview::DoColumnResize(int columnindex, int columnwidth) {
    if (OnColumnResize) {
        OnColumnResize(this, columnindex, columnwidth);
    }
}

int TPBExListview::DividerAt(int x) const {
    const int grip = style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, header());
    // The right-most divider wins where two are close (a column of width 0).
    for (int c = columnCount() - 1; c >= 0; --c) {
        if (header()->isSectionHidden(c)) {
            continue;
        }
        int edge = header()->sectionViewportPosition(c) + header()->sectionSize(c);
        if (x >= edge - grip && x <= edge + grip) {
            return c;
        }
    }
    return -1;
}

int TPBExListview::TrackedWidth(int x) const {
    return std::max(0, FTrackStartWidth + (x - FTrackStartX));
}

int TPBExListview::TrackingLineX() const {
    return FTrackSection >= 0 ? FTrackLine->x() : -1;
}

void TPBExListview::PlaceTrackingLine(int width) {
    int xInHeader = header()->sectionViewportPosition(FTrackSection) + width;
    QPoint p = header()->viewport()->mapTo(this, QPoint(xInHeader, 0));
    FTrackLine->setGeometry(p.x(), 0, 1, height());
    FTrackLine->raise();
    FTrackLine->show();
}

void TPBExListview::BeginTrack(int section, int x) {
    FTrackSection = section;
    FTrackStartX = x;
    FTrackStartWidth = header()->sectionSize(section);
    FTrackWidth = FTrackStartWidth;
    PlaceTrackingLine(FTrackWidth);
    DoBeginColumnResize(ColumnIndexOfHeaderItem(section), FTrackStartWidth);
}

void TPBExListview::MoveTrack(int x) {
    FTrackWidth = TrackedWidth(x);
    PlaceTrackingLine(FTrackWidth);
    DoColumnResize(ColumnIndexOfHeaderItem(FTrackSection), FTrackWidth);
}

void TPBExListview::EndTrack(int x) {
    int section = FTrackSection;
    FTrackWidth = TrackedWidth(x);
    FTrackSection = -1;
    FTrackLine->hide();
    header()->resizeSection(section, FTrackWidth);
    DoEndColumnResize(ColumnIndexOfHeaderItem(section), FTrackWidth);
}

bool TPBExListview::eventFilter(QObject* watched, QEvent* event) {
    if (watched != header()->viewport()) {
        return QTreeWidget::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            auto* me = static_cast<QMouseEvent*>(event);
            int x = me->position().toPoint().x();
            int section = me->button() == Qt::LeftButton ? DividerAt(x) : -1;
            if (section < 0) {
                break;
            }
            if (FTrackSection < 0) {
                BeginTrack(section, x);
            }
            return true;
        }
        case QEvent::MouseMove:
            if (FTrackSection >= 0) {
                MoveTrack(static_cast<QMouseEvent*>(event)->position().toPoint().x());
                return true;
            }
            break;
        case QEvent::MouseButtonRelease:
            if (FTrackSection >= 0) {
                EndTrack(static_cast<QMouseEvent*>(event)->position().toPoint().x());
                return true;
            }
            break;
        default:
            break;
    }
    return QTreeWidget::eventFilter(watched, event);
}

// The meta-object code is compiled with this file rather than on its own.
#include "moc_PBExListview.cpp"
