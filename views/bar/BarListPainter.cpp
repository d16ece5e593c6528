#include "views/bar/BarListPainter.h"

#include <QPainter>
#include <QTreeWidgetItem>
#include <cmath>

#include "engine/ResultStore.h"
#include "views/bar/BarData.h"
#include "views/bar/BarDrawing.h"
#include "views/bar/BarRow.h"
#include "views/bar/BarSort.h"
#include "views/bar/PBExListview.h"
#include "views/common/Colors.h"
#include "views/common/NumberText.h"
#include "views/gradient/BitmapGradient.h"

TBarListPainter::TBarListPainter(TPBExListview& list, const TBarData& data,
                                 const TResultStore& store, QWidget& window)
    : FList(list), FData(data), FStore(store), FWindow(window) {
    FGradientFill = new TBitmapGradient(&window);
    FGradientFill->setObjectName("GradientFill");
    FGradientFill->setFixedHeight(17);
    FGradientFill->hide();
}

void TBarListPainter::SetBarProperties() {
    FGradientFill->SetStyle(gsLinearH);
    FGradientFill->SetReverse(true);
    BarOutLine = true;
    BarShadow = true;
    FWindow.update();
    FList.viewport()->update();
}

void TBarListPainter::CustomDrawSubItem(QPainter& canvas, QTreeWidgetItem* row, int cellIndex,
                                        bool& defaultDraw) {
    if (FData.BarDataReady && !FStore.GlobalSLSEmpty() && !FData.BarSLSEmpty() && cellIndex == 3) {
        defaultDraw = false;
        DrawBarImage(canvas, row, 3);
    }
}

void TBarListPainter::DrawBarImage(QPainter& canvas, QTreeWidgetItem* row, int cellIndex) {
    const int position = FList.indexOfTopLevelItem(row);
    if (position < 0 || position >= static_cast<int>(FData.BarPercents.size()) ||
        position >= static_cast<int>(FData.BarColors.size())) {
        return;
    }
    // The colours stay with the positions when the rows are sorted.
    TColor rgb = ColorToRGB(StringToColor(FData.BarColors[position]));
    QColor colour(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
    float p = static_cast<float>(StrToFloat(row->text(2).toStdString()));
    QRect r = BarRect(row, cellIndex, static_cast<int>(std::trunc(p)));
    if (p > 0) {
        DrawWhiteRect(canvas, r);
        DrawShadow(canvas, r);
        DrawGradientBar(canvas, r, colour);
    }
}

QRect TBarListPainter::BarRect(QTreeWidgetItem* row, int column, int percent) const {
    QList<int> widths;
    for (int c = 0; c < FList.columnCount(); ++c) {
        widths << FList.ColumnWidth(c);
    }
    return ::BarRect(FList.RowRect(row), widths, column, percent);
}

void TBarListPainter::DrawWhiteRect(QPainter& canvas, const QRect& r) {
    ::DrawWhiteRect(canvas, r, FList.ColumnWidth(3));
}

void TBarListPainter::DrawShadow(QPainter& canvas, const QRect& r) {
    ::DrawShadow(canvas, r, BarShadow, FWindow.palette().color(QPalette::Dark));
}

void TBarListPainter::DrawGradientBar(QPainter& canvas, const QRect& r, const QColor& colour) {
    FGradientFill->SetColorBegin(RGBColor(colour.red(), colour.green(), colour.blue()));
    FGradientFill->SetColorEnd(clWhite);
    ::DrawGradientBar(canvas, r, FGradientFill->RenderedBitmap(), colour, BarOutLine);
}

int TBarListPainter::ColumnWidths() const {
    int sum = 0;
    for (int c = 0; c < FList.columnCount(); ++c) {
        sum += FList.ColumnWidth(c);
    }
    return sum;
}

int TBarListPainter::Compare(int sortColumn, bool sortReverse, QTreeWidgetItem* item1,
                             QTreeWidgetItem* item2) {
    auto key = [](QTreeWidgetItem* row) {
        return TBarSortKey{row->text(0), row->text(1), row->text(2)};
    };
    return BarCompare(sortColumn, sortReverse, key(item1), key(item2), [](const QString& text) {
        // An excluded item has no size: it sorts below every size.
        return text == QLatin1String(TBarRow::kExcludedText) ? -1.0
                                                             : StrToFloat(text.toStdString());
    });
}
