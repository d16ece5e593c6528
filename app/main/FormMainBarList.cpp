// The window's bar list: its rows, how they are drawn and sorted, and what
// a double click or the right button on a row does; and going to a listed
// item from elsewhere (the Discover panel). The drawing and the order are
// the bar painter's and the change view's; these are the entry points.
#include <QComboBox>
#include <QTreeWidget>

#include "app/changes/ChangeView.h"
#include "app/find/FindCommand.h"
#include "app/main/FormMain.h"
#include "app/main/ItemCommands.h"
#include "views/bar/BarData.h"
#include "views/bar/BarListPainter.h"
#include "views/bar/BarRows.h"
#include "views/bar/PBExListview.h"
#include "views/common/PathText.h"
#include "views/tree/BarShellTreeView.h"
#include "views/tree/ShellListModel.h"

void TFormMain::BarToBarlv() {
    BarLV->setUpdatesEnabled(false);
    try {
        TBarRows::Fill(*BarLV, BarData(), Bar());
    } catch (...) {
        BarLV->setUpdatesEnabled(true);
        throw;
    }
    FChanges->DecorateRows(*BarLV, Bar());
    ShowDiscoverKept();
    if (SizeSort()) {
        acSortSize->trigger();
    }
    if (AZSort()) {
        acSortName->trigger();
    }
    BarLV->setUpdatesEnabled(true);
    TreemapFollows();
}

void TFormMain::SetBarProperties() {
    FBarPainter->SetBarProperties();
}

void TFormMain::Barlv1CustomDrawSubItem(QPainter& canvas, QTreeWidgetItem* row, int cellIndex,
                                        bool& defaultDraw) {
    if (BarData().BarDataReady && !Store.GlobalSLSEmpty() &&
        FChanges->DrawCell(canvas, *BarLV, row, cellIndex)) {
        defaultDraw = false;
        return;
    }
    FBarPainter->CustomDrawSubItem(canvas, row, cellIndex, defaultDraw);
}

void TFormMain::DrawBarImage(QPainter& canvas, QTreeWidgetItem* row, int cellIndex) {
    FBarPainter->DrawBarImage(canvas, row, cellIndex);
}

QRect TFormMain::BarRect(QTreeWidgetItem* row, int column, int percent) const {
    return FBarPainter->BarRect(row, column, percent);
}

void TFormMain::DrawWhiteRect(QPainter& canvas, const QRect& r) {
    FBarPainter->DrawWhiteRect(canvas, r);
}

void TFormMain::DrawShadow(QPainter& canvas, const QRect& r) {
    FBarPainter->DrawShadow(canvas, r);
}

void TFormMain::DrawGradientBar(QPainter& canvas, const QRect& r, const QColor& colour) {
    FBarPainter->DrawGradientBar(canvas, r, colour);
}

int TFormMain::LVCustomCompare(QTreeWidgetItem* item1, QTreeWidgetItem* item2) const {
    if (const std::optional<int> order = FChanges->Compare(item1, item2, SortColumn, SortReverse)) {
        return *order;
    }
    return TBarListPainter::Compare(SortColumn, SortReverse, item1, item2);
}

void TFormMain::Barlv1ColumnClick(int column) {
    if (column > 2) {
        return;
    }
    if (column == SortColumn) {
        SortReverse = !SortReverse;
    }
    SortColumn = column;
    BarLV->CustomSort();
}

void TFormMain::acSortSizeExecute() {
    SortColumn = 2;
    BarLV->CustomSort();
}

void TFormMain::acSortNameExecute() {
    SortColumn = 0;
    BarLV->CustomSort();
}

void TFormMain::cbSortChange(int index) {
    if (index == 1) {
        acSortSize->trigger();
    } else if (index == 2) {
        acSortName->trigger();
    }
}

bool TFormMain::SizeSort() const {
    return cbSort->currentText() == "Sort size";
}
bool TFormMain::AZSort() const {
    return cbSort->currentText() == "Sort name";
}

void TFormMain::BarlvEndColumnResize(int, int) {
    update();
    BarLV->viewport()->update();
    cbSort->move(ColumnWidths(), cbSort->y());
    cbSort->raise();
}

int TFormMain::ColumnWidths() const {
    return FBarPainter->ColumnWidths();
}

std::string TFormMain::RowPath(const QTreeWidgetItem* row) {
    return TBarRows::RowPath(row);
}

void TFormMain::BarlvDblClick() {
    QTreeWidgetItem* row = BarLV->currentItem();
    if (BarLV->topLevelItemCount() == 0 || !row || !row->isSelected()) {
        return;
    }
    const std::string path = RowPath(row);
    if (!FItems->OpenFile(path)) {
        EnterFolder(path);
    }
    if (Tree->isVisible()) {
        ExpandTree();
    }
}

void TFormMain::BarlvMouseDown(Qt::MouseButton button, QPoint at) {
    QTreeWidgetItem* row = BarLV->currentItem();
    if (button != Qt::RightButton || !row || !row->isSelected()) {
        return;
    }
    // The right button on one of several chosen rows: the menu of them all.
    const QList<QTreeWidgetItem*> chosen = BarLV->selectedItems();
    if (chosen.size() > 1) {
        std::vector<std::string> paths;
        for (const QTreeWidgetItem* one : chosen)
            paths.push_back(RowPath(one));
        FItems->OpenItemsMenu(FItems->ChosenListed(paths), BarLV, at);
        return;
    }
    FItems->OpenMenu(RowPath(row), BarLV, at);
}

void TFormMain::FindExecute() {
    FFind->Run(Bar().Root());
}

void TFormMain::GoToItem(const std::string& path) {
    std::string folder = GetParentDir(path);
    if (folder.find('\\') == std::string::npos)
        folder += '\\';  // a drive's root
    if (Bar().Root() != folder)
        EnterFolder(folder);
    TBarRows::Select(*BarLV, path);
    if (Tree->isVisible())
        ExpandTree();
}
