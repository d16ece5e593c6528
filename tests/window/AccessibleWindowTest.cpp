// What a screen reader is given changes nothing that is drawn, and the pie
// answers a reader's questions about points and focus from its slices.
#include <QAccessible>
#include <functional>

#include "app/pie/PieControl.h"
#include "tests/window/WindowFixture.h"
#include "views/common/DisplayText.h"
#include "views/pie/PieData.h"

namespace {

// Reads everything a reader would: names, descriptions, states and places
// of every interface below the window, the pie's slices included.
int ReadAll(QAccessibleInterface* node, int depth = 0) {
    if (!node || depth > 40)
        return 0;
    int count = 1;
    (void)node->text(QAccessible::Name);
    (void)node->text(QAccessible::Description);
    (void)node->state();
    (void)node->rect();
    for (int i = 0; i < node->childCount(); ++i)
        count += ReadAll(node->child(i), depth + 1);
    return count;
}

// The window's colours are drawn once per refresh and kept in the view
// lists, so two pictures of one process without a refresh between them
// show the same colours: any difference is the reader's doing.
TEST_F(WindowFixture, ReadingTheWindowChangesNoPixel) {
    OpenWindow();
    QTest::keyClick(form.get(), Qt::Key_F4);
    Settle();
    const QImage before = form->grab().toImage();
    EXPECT_GT(ReadAll(QAccessible::queryAccessibleInterface(form.get())), 40);
    Settle();
    const QImage after = form->grab().toImage();
    ASSERT_EQ(before.size(), after.size());
    EXPECT_TRUE(before == after) << "the picture changed while the window was read";
}

// A point in the middle of each slice is that slice for a reader too, the
// chosen slice is the focused child while the pie has the focus, and the
// outline a reader is told of is the one drawn.
TEST_F(WindowFixture, PieSlicesAnswerPointsAndFocusLikeTheKeys) {
    OpenWindow();
    auto* pie = static_cast<TPieControl*>(form->Pie);
    QAccessibleInterface* chart = QAccessible::queryAccessibleInterface(pie);
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(chart->role(), QAccessible::Chart);
    const int n = static_cast<int>(form->PieData().PiePercents.size()) - 1;
    ASSERT_EQ(chart->childCount(), n);
    for (int j = 1; j <= n; ++j) {
        const QPoint mid = pie->mapToGlobal(form->pieHolder->SliceMidPoint(j));
        QAccessibleInterface* hit = chart->childAt(mid.x(), mid.y());
        ASSERT_NE(hit, nullptr) << j;
        EXPECT_EQ(chart->indexOfChild(hit), j - 1);
        EXPECT_TRUE(hit->rect().contains(mid)) << j;
        EXPECT_TRUE(hit->text(QAccessible::Name)
                        .startsWith(DisplayText(form->PieData().PieNames[static_cast<size_t>(j)])));
    }
    const QPoint centre = pie->mapToGlobal(pie->Slices().front().shape.centre.toPoint());
    const QPoint outside =
        centre + QPoint(0, static_cast<int>(pie->Slices().front().shape.radius) + 3);
    EXPECT_EQ(chart->childAt(outside.x(), outside.y()), nullptr);
    EXPECT_EQ(chart->focusChild(), nullptr);

    form->activateWindow();
    pie->setFocus(Qt::TabFocusReason);
    for (int step = 1; step <= n + 1; ++step) {
        QTest::keyClick(pie, Qt::Key_Right);
        const int chosen = form->pieHolder->KeySlice();
        QAccessibleInterface* focused = chart->focusChild();
        ASSERT_NE(focused, nullptr);
        EXPECT_EQ(chart->indexOfChild(focused), chosen - 1);
        EXPECT_TRUE(focused->state().focused);
        ASSERT_TRUE(pie->Outline().has_value());
        EXPECT_EQ(pie->Outline()->startAngle, pie->Slices()[chosen - 1].shape.startAngle);
        EXPECT_EQ(pie->Outline()->sweep, pie->Slices()[chosen - 1].shape.sweep);
    }
    // Slices that do not close the disc leave a remainder, drawn and read
    // last as "Other" with the share the slices leave.
    form->PieData().PiePercents.Set(1, "40.0");
    form->PieData().FolderChanged = false;
    form->pieHolder->DrawPieMain();
    ASSERT_EQ(chart->childCount(), n + 1);
    EXPECT_EQ(chart->child(n)->text(QAccessible::Name), "Other, 0.0 MB, 10.0 percent");
    EXPECT_NEAR(pie->Slices().back().shape.startAngle, 324.0, 1e-3);
    EXPECT_NEAR(pie->Slices().back().shape.sweep, 36.0, 1e-3);

    // Another folder: the old slices are gone until a key chooses anew.
    DoubleClickRow("alpha");
    EXPECT_EQ(chart->focusChild(), nullptr);
    EXPECT_EQ(chart->childCount(), static_cast<int>(form->PieData().PiePercents.size()) - 1);
}

}  // namespace
