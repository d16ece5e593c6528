// The whole window as the user sees it, with the test drive loaded. Setting
// CQ_SCREENSHOT_DIR keeps the pictures for a look.
#include <QDir>
#include <QPixmap>

#include "tests/window/WindowFixture.h"

namespace {

void Keep(const QImage& image, const QString& name) {
    const QString folder = qEnvironmentVariable("CQ_SCREENSHOT_DIR");
    if (!folder.isEmpty()) {
        QDir().mkpath(folder);
        image.save(QDir(folder).filePath(name));
    }
}

// Pixels in a rectangle that are not white: drawn on the list's background.
int Painted(const QImage& image, const QRect& area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom() && y < image.height(); ++y) {
        for (int x = area.left(); x <= area.right() && x < image.width(); ++x) {
            count += image.pixelColor(x, y) != QColor(Qt::white);
        }
    }
    return count;
}

TEST_F(WindowFixture, LoadedDriveShowsBarsPieAndTree) {
    OpenWindow();
    QTest::keyClick(form.get(), Qt::Key_F4);
    Settle();
    form->BarLV->setCurrentIndex(QModelIndex());
    const qreal ratio = form->devicePixelRatioF();
    QImage shot = form->grab().toImage();
    Keep(shot, QString("window-x%1.png").arg(ratio));
    EXPECT_EQ(shot.size(), QSize(811, 539) * ratio);

    // The pie shows a drawn disc (its colours, too, are random).
    QRect pie(form->Pie->mapTo(form.get(), QPoint(0, 0)), form->Pie->size());
    EXPECT_GT(Painted(shot, QRect(pie.topLeft() * ratio, pie.size() * ratio)),
              30000 * ratio * ratio);
    // The bar column holds the bars of alpha and beta. Their colours are
    // drawn at random, and may be nearly grey: what counts is that they are
    // painted.
    QRect bars(form->BarLV->viewport()->mapTo(form.get(), QPoint(400, 0)), QSize(100, 60));
    EXPECT_GT(Painted(shot, QRect(bars.topLeft() * ratio, bars.size() * ratio)),
              200 * ratio * ratio);

    // Bars are drawn at the device's resolution: 50 logical pixels long.
    QImage list = form->BarLV->viewport()->grab().toImage();
    EXPECT_EQ(list.devicePixelRatio(), ratio);
    QRect row = form->BarLV->RowRect(Row("alpha"));
    int y = static_cast<int>((row.top() + 3 + (row.height() - 6) / 2) * ratio);
    TColor rgb = ColorToRGB(StringToColor(form->BarData().BarColors[0]));
    QColor frame(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
    int first = -1, last = -1;
    for (int x = 0; x < list.width(); ++x) {
        if (list.pixelColor(x, y) == frame) {
            first = first < 0 ? x : first;
            last = x;
        }
    }
    EXPECT_EQ(first, static_cast<int>(400 * ratio));
    EXPECT_EQ(last - first + 1, static_cast<int>(50 * ratio));
    // The gradient is not a stretched low-resolution picture: every device
    // row of the bar's inside has its own shade.
    QSet<QRgb> shades;
    const int x = static_cast<int>(420 * ratio);
    for (int dy = static_cast<int>((row.top() + 4) * ratio);
         dy < static_cast<int>((row.top() + row.height() - 4) * ratio); ++dy) {
        shades.insert(list.pixel(x, dy));
    }
    EXPECT_GE(shades.size(), static_cast<qsizetype>((row.height() - 9) * ratio));

    // The tree's bar of alpha (50 %): 17 logical pixels.
    QTreeWidgetItem* alpha = nullptr;
    for (QTreeWidgetItem* node : form->Tree->Nodes()) {
        if (TBarShellTreeView::NodePath(node) == "C:\\alpha") {
            alpha = node;
        }
    }
    ASSERT_NE(alpha, nullptr);
    QImage tree = form->Tree->viewport()->grab().toImage();
    QRect treeRow = form->Tree->NodeRowRect(alpha);
    int ty = static_cast<int>((treeRow.top() + treeRow.height() / 2) * ratio);
    int barPixels = 0;
    for (int tx = 0; tx < tree.width(); ++tx) {
        barPixels += tree.pixelColor(tx, ty) == QColor(255, 215, 174);
    }
    EXPECT_EQ(barPixels, static_cast<int>(17 * ratio));
}

}  // namespace
