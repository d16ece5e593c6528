// The list control driven with real mouse events on its header.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QTest>

#include "tests/barlist/TestApp.h"
#include "views/bar/PBExListview.h"

namespace {

struct TResizeCall {
    int kind;  // 0 begin, 1 track, 2 end
    int column;
    int width;
};

class ListFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        TestApp();
        list = std::make_unique<TPBExListview>();
        list->resize(800, 300);
        list->SetColumns({"Name", "Size, MB", "Size, %", ""}, {200, 100, 100, 100});
        for (int i = 0; i < 5; ++i) {
            auto* row = new QTreeWidgetItem(list.get());
            row->setText(0, QString("row %1").arg(i));
        }
        list->OnBeginColumnResize = [this](TPBExListview*, int c, int w) {
            calls.push_back({0, c, w});
        };
        list->OnColumnResize = [this](TPBExListview*, int c, int w) { calls.push_back({1, c, w}); };
        list->OnEndColumnResize = [this](TPBExListview*, int c, int w) {
            calls.push_back({2, c, w});
        };
        list->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(list.get()));
    }

    QWidget* HeaderPort() { return list->header()->viewport(); }
    int HeaderY() { return list->header()->height() / 2; }

    std::unique_ptr<TPBExListview> list;
    std::vector<TResizeCall> calls;
};

TEST_F(ListFixture, DividerDragShowsLineAndAppliesWidthOnlyAtRelease) {
    QWidget* port = HeaderPort();
    QTest::mousePress(port, Qt::LeftButton, Qt::NoModifier, QPoint(500, HeaderY()));
    ASSERT_TRUE(list->TrackingColumn());
    QTest::mouseMove(port, QPoint(560, HeaderY()));
    QMouseEvent move(QEvent::MouseMove, QPointF(600, HeaderY()),
                     port->mapToGlobal(QPointF(600, HeaderY())), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(port, &move);
    // During the drag only the line moves; the column keeps its width.
    EXPECT_EQ(list->ColumnWidth(3), 100);
    EXPECT_EQ(list->TrackingLineX(), port->mapTo(list.get(), QPoint(600, 0)).x());
    QTest::mouseRelease(port, Qt::LeftButton, Qt::NoModifier, QPoint(600, HeaderY()));
    EXPECT_FALSE(list->TrackingColumn());
    EXPECT_EQ(list->ColumnWidth(3), 200);
    EXPECT_EQ(list->ColumnWidth(0), 200);

    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls.front().kind, 0);
    EXPECT_EQ(calls.front().column, 3);
    EXPECT_EQ(calls.front().width, 100);
    EXPECT_EQ(calls.back().kind, 2);
    EXPECT_EQ(calls.back().column, 3);
    EXPECT_EQ(calls.back().width, 200);
    int ends = 0;
    for (const auto& c : calls) {
        ends += c.kind == 2;
        if (c.kind == 1) {
            EXPECT_EQ(c.column, 3);
        }
    }
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(calls[calls.size() - 2].kind, 1);
    EXPECT_EQ(calls[calls.size() - 2].width, 200);
}

TEST_F(ListFixture, DragOfFirstDividerNeverGoesBelowZero) {
    QWidget* port = HeaderPort();
    QTest::mousePress(port, Qt::LeftButton, Qt::NoModifier, QPoint(200, HeaderY()));
    QTest::mouseRelease(port, Qt::LeftButton, Qt::NoModifier, QPoint(0, HeaderY()));
    // Width 200 - 200 = 0, not negative.
    EXPECT_EQ(list->ColumnWidth(0), 0);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().column, 0);
    EXPECT_EQ(calls.back().width, 0);
}

TEST_F(ListFixture, ClickInsideAHeaderReportsTheColumnAndResizesNothing) {
    std::vector<int> clicked;
    list->OnColumnClick = [&](int c) { clicked.push_back(c); };
    QTest::mouseClick(HeaderPort(), Qt::LeftButton, Qt::NoModifier, QPoint(250, HeaderY()));
    QTest::mouseClick(HeaderPort(), Qt::LeftButton, Qt::NoModifier, QPoint(50, HeaderY()));
    EXPECT_EQ(clicked, (std::vector<int>{1, 0}));
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(list->ColumnWidth(1), 100);
}

TEST_F(ListFixture, ColumnIndexFollowsTheCaptionRule) {
    EXPECT_EQ(list->ColumnIndexOfHeaderItem(2), 2);
    EXPECT_EQ(list->ColumnIndexOfHeaderItem(3), 3);
    EXPECT_EQ(list->ColumnIndexOfHeaderItem(7), -1);
    // A caption longer than the 128-character buffer no longer matches.
    list->headerItem()->setText(1, QString(140, 'x'));
    EXPECT_EQ(list->ColumnIndexOfHeaderItem(1), -1);
}

TEST_F(ListFixture, SortKeepsEveryRowWithACompareThatNeverSaysEqual) {
    list->clear();
    const std::vector<int> keys = {3, 1, 3, 2, 1, 5, 3, 0, 2, 2, 4};
    for (int k : keys) {
        auto* row = new QTreeWidgetItem(list.get());
        row->setText(1, QString::number(k));
    }
    list->setCurrentItem(list->topLevelItem(5));
    // Largest first; equal keys answer -1 both ways, as the bar list does.
    list->OnCompare = [](QTreeWidgetItem* a, QTreeWidgetItem* b) {
        return b->text(1).toInt() > a->text(1).toInt() ? 1 : -1;
    };
    list->CustomSort();
    ASSERT_EQ(list->topLevelItemCount(), static_cast<int>(keys.size()));
    for (int i = 1; i < list->topLevelItemCount(); ++i) {
        EXPECT_GE(list->topLevelItem(i - 1)->text(1).toInt(),
                  list->topLevelItem(i)->text(1).toInt());
    }
    EXPECT_EQ(list->topLevelItem(0)->text(1), "5");
    EXPECT_EQ(list->currentItem()->text(1), "5");
}

TEST_F(ListFixture, CustomDrawHookReplacesTheCellDrawing) {
    // Row 2: not the current row, which gets the style's focus tint.
    list->topLevelItem(2)->setText(3, "/a/path/that/must/not/show");
    list->OnCustomDrawSubItem = [this](QPainter& canvas, QTreeWidgetItem* row, int cell,
                                       bool& defaultDraw) {
        if (cell == 3 && row == list->topLevelItem(2)) {
            defaultDraw = false;
            QRect r = list->RowRect(row);
            canvas.fillRect(QRect(r.left() + 400, r.top(), 100, r.height()), Qt::red);
        }
    };
    list->viewport()->update();
    QImage shot = list->viewport()->grab().toImage();
    QRect row = list->RowRect(list->topLevelItem(2));
    EXPECT_EQ(shot.pixelColor(450, row.center().y()), QColor(Qt::red));
    EXPECT_EQ(shot.pixelColor(401, row.top()), QColor(Qt::red));
    // The row below keeps its default (no red).
    QRect next = list->RowRect(list->topLevelItem(3));
    EXPECT_NE(shot.pixelColor(450, next.center().y()), QColor(Qt::red));
}

TEST_F(ListFixture, RowRectSpansAllColumnsAndFollowsScrolling) {
    QRect r = list->RowRect(list->topLevelItem(2));
    EXPECT_EQ(r.left(), 0);
    EXPECT_EQ(r.width(), 500);
    EXPECT_GT(r.top(), 0);
    list->resize(300, 300);
    list->horizontalScrollBar()->setValue(40);
    EXPECT_EQ(list->RowRect(list->topLevelItem(2)).left(), -40);
}

}  // namespace
