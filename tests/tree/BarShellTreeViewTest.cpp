// The folder tree with its size bars, painted offscreen and read back.
#include <gtest/gtest.h>

#include <QTest>
#include <map>

#include "tests/barlist/TestApp.h"
#include "views/tree/BarShellTreeView.h"

namespace {

const QColor kBar(255, 215, 174);
const QColor kFrame(192, 192, 192);

class TreeFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        TestApp();
        QPixmap pix(16, 16);
        pix.fill(Qt::darkYellow);
        icon = QIcon(pix);
        folders["T:\\"] = {{"T:\\a", "a", icon}, {"T:\\b", "b", icon}};
        for (int i = 0; i < 30; ++i) {
            std::string name = "z" + std::to_string(10 + i);
            folders["T:\\"].push_back({"T:\\" + name, QString::fromStdString(name), icon});
        }
        folders["T:\\a"] = {{"T:\\a\\x", "x", icon}};
        tree = std::make_unique<TBarShellTreeView>();
        tree->SetBarColor(kBar);
        tree->SetLister([this](const std::string& path) {
            listed.push_back(path);
            auto it = folders.find(path);
            return it == folders.end() ? std::vector<TTreeFolder>{} : it->second;
        });
        tree->resize(300, 200);
        tree->SetRoot("T:\\", "T: (test)", icon);
        tree->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(tree.get()));
    }

    void LoadBars() {
        tree->SetBarLists({"0", "50", "2", "x", "100"},
                          {"T:", "T:\\a", "T:\\a\\x", "T:\\b", "T:\\z10"});
    }

    QTreeWidgetItem* Find(const std::string& path) {
        for (int i = 0; i < tree->NodeCount(); ++i) {
            if (TBarShellTreeView::NodePath(tree->Node(i)) == path) {
                return tree->Node(i);
            }
        }
        return nullptr;
    }

    // Pixels of a colour along the middle line of a node's row.
    int CountInRow(const QImage& shot, QTreeWidgetItem* node, const QColor& colour) {
        QRect row = tree->NodeRowRect(node);
        int y = row.top() + row.height() / 2;
        int count = 0;
        for (int x = 0; x < shot.width(); ++x) {
            count += shot.pixelColor(x, y) == colour;
        }
        return count;
    }

    QImage Shot() { return tree->viewport()->grab().toImage(); }

    // Pixels of a column of a node's row that differ from the background.
    int Ink(const QImage& shot, QTreeWidgetItem* node, int left, int width) {
        const QColor background = tree->palette().color(QPalette::Base);
        const QRect row = tree->visualItemRect(node);
        const qreal ratio = shot.devicePixelRatio();
        int ink = 0;
        for (int y = row.top() * ratio; y < (row.bottom() + 1) * ratio; ++y)
            for (int x = std::max(0, left) * ratio; x < (left + width) * ratio; ++x)
                ink += shot.pixelColor(x, y) != background;
        return ink;
    }

    // The open/close mark of a node: drawn in the column left of the node,
    // and a click on it opens and closes the node as in any tree view.
    void CheckMarks(bool bars, bool sheet) {
        tree->SetBarLists(
            bars ? TStringList{"0", "50", "2", "x", "100"} : TStringList{},
            bars ? TStringList{"T:", "T:\\a", "T:\\a\\x", "T:\\b", "T:\\z10"} : TStringList{});
        QTreeWidgetItem* a = Find("T:\\a");
        QTreeWidgetItem* b = Find("T:\\b");
        ASSERT_NE(a, nullptr);
        a->setExpanded(false);
        tree->viewport()->repaint();
        const QImage closed = Shot();
        const int markLeft = tree->visualItemRect(a).left() - tree->indentation();
        const int markWidth = std::min(tree->indentation(), 20);
        EXPECT_GT(Ink(closed, a, markLeft, markWidth), 4) << "bars " << bars << " sheet " << sheet;
        const QString folder = qEnvironmentVariable("CQ_SCREENSHOT_DIR");
        if (!folder.isEmpty() && sheet)
            closed.save(QString("%1/tree-%2-x%3.png")
                            .arg(folder, bars ? "bars" : "plain")
                            .arg(tree->devicePixelRatioF()));
        const QPoint mark(markLeft + markWidth / 2, tree->visualItemRect(a).center().y());
        // A click on the mark opens the node and lists its folders; a second
        // click closes it.
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, mark);
        EXPECT_TRUE(a->isExpanded()) << "bars " << bars << " sheet " << sheet;
        EXPECT_EQ(a->childCount(), 1);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, mark);
        EXPECT_FALSE(a->isExpanded()) << "bars " << bars << " sheet " << sheet;
        // A node that turned out to have no folders shows no mark.
        tree->ExpandNode(b);
        b->setExpanded(false);
        tree->viewport()->repaint();
        EXPECT_EQ(Ink(Shot(), b, markLeft, markWidth), 0) << "bars " << bars;
    }

    QIcon icon;
    std::map<std::string, std::vector<TTreeFolder>> folders;
    std::vector<std::string> listed;
    std::unique_ptr<TBarShellTreeView> tree;
};

TEST_F(TreeFixture, NoResultsMeansNoBarsAndTheNarrowIndent) {
    QImage shot = Shot();
    EXPECT_EQ(tree->indentation(), 23);
    EXPECT_EQ(CountInRow(shot, Find("T:\\a"), kBar), 0);
    // Bars switched off with lists present: still none.
    LoadBars();
    tree->SetShowBarCharts(false);
    shot = Shot();
    EXPECT_EQ(tree->indentation(), 23);
    EXPECT_EQ(CountInRow(shot, Find("T:\\a"), kBar), 0);
    EXPECT_EQ(CountInRow(shot, Find("T:\\a"), kFrame), 0);
}

TEST_F(TreeFixture, HalfShareGivesSeventeenPixelsInTheWideIndent) {
    LoadBars();
    QImage shot = Shot();
    EXPECT_EQ(tree->indentation(), 55);
    QTreeWidgetItem* a = Find("T:\\a");
    EXPECT_EQ(CountInRow(shot, a, kBar), 17);
    // The bar starts one pixel right of the parent's text edge minus one.
    int x0 = tree->NodeTextRect(tree->Node(0)).left() - 1;
    QRect row = tree->NodeRowRect(a);
    int y = row.top() + row.height() / 2;
    EXPECT_EQ(shot.pixelColor(x0 + 1, y), kBar);
    EXPECT_EQ(shot.pixelColor(x0 + 17, y), kBar);
    EXPECT_NE(shot.pixelColor(x0 + 18, y), kBar);
    // The grey outline spans 34 pixels: its two sides on this line.
    EXPECT_EQ(shot.pixelColor(x0, y), kFrame);
    EXPECT_EQ(shot.pixelColor(x0 + 33, y), kFrame);
    EXPECT_NE(shot.pixelColor(x0 + 34, y), kFrame);
    // Full share: 34 pixels of bar colour.
    // Full share: 34 pixels, one more than fits inside the outline.
    EXPECT_EQ(CountInRow(shot, Find("T:\\z10"), kBar), 34);
}

TEST_F(TreeFixture, BarRowsAreInsetFromTheRowEdges) {
    LoadBars();
    QImage shot = Shot();
    QTreeWidgetItem* a = Find("T:\\a");
    QRect row = tree->NodeRowRect(a);
    int x = tree->NodeTextRect(tree->Node(0)).left() + 5;
    int bottom = row.top() + row.height();
    EXPECT_EQ(shot.pixelColor(x, row.top() + 5), kFrame);
    EXPECT_EQ(shot.pixelColor(x, row.top() + 6), kBar);
    EXPECT_EQ(shot.pixelColor(x, bottom - 7), kBar);
    EXPECT_EQ(shot.pixelColor(x, bottom - 6), kFrame);
    EXPECT_NE(shot.pixelColor(x, row.top() + 4), kFrame);
    EXPECT_NE(shot.pixelColor(x, bottom - 5), kFrame);
}

TEST_F(TreeFixture, SmallShareShowsOnlyTheFrameAndBadPercentShowsNothing) {
    LoadBars();
    tree->ExpandNode(Find("T:\\a"));
    QImage shot = Shot();
    QTreeWidgetItem* x = Find("T:\\a\\x");
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(CountInRow(shot, x, kBar), 0);
    EXPECT_EQ(CountInRow(shot, x, kFrame), 2);
    QTreeWidgetItem* b = Find("T:\\b");
    EXPECT_EQ(CountInRow(shot, b, kBar), 0);
    EXPECT_EQ(CountInRow(shot, b, kFrame), 0);
    // Unanalysed folder: no bar.
    EXPECT_EQ(CountInRow(shot, Find("T:\\z11"), kFrame), 0);
    // The grand-child's bar sits one indent further right.
    int xParent = tree->NodeTextRect(Find("T:\\a")).left() - 1;
    QRect row = tree->NodeRowRect(x);
    EXPECT_EQ(shot.pixelColor(xParent, row.top() + row.height() / 2), kFrame);
}

TEST_F(TreeFixture, TopRowLosesItsBar) {
    LoadBars();
    QTreeWidgetItem* a = Find("T:\\a");
    EXPECT_EQ(CountInRow(Shot(), a, kBar), 17);
    tree->scrollToItem(a, QAbstractItemView::PositionAtTop);
    ASSERT_EQ(tree->NodeRowRect(a).top(), 0);
    EXPECT_EQ(CountInRow(Shot(), a, kBar), 0);
}

TEST_F(TreeFixture, ChildrenAreListedWhenFirstExpanded) {
    EXPECT_EQ(listed, (std::vector<std::string>{"T:\\"}));
    QTreeWidgetItem* a = Find("T:\\a");
    EXPECT_EQ(a->childCount(), 0);
    tree->ExpandNode(a);
    EXPECT_EQ(a->childCount(), 1);
    tree->ExpandNode(a);
    a->setExpanded(false);
    a->setExpanded(true);
    EXPECT_EQ(listed, (std::vector<std::string>{"T:\\", "T:\\a"}));
    // Absolute indexes count the existing nodes in expanded order.
    EXPECT_EQ(TBarShellTreeView::NodePath(tree->Node(0)), "T:\\");
    EXPECT_EQ(TBarShellTreeView::NodePath(tree->Node(1)), "T:\\a");
    EXPECT_EQ(TBarShellTreeView::NodePath(tree->Node(2)), "T:\\a\\x");
    EXPECT_EQ(TBarShellTreeView::NodePath(tree->Node(3)), "T:\\b");
    EXPECT_EQ(tree->Node(99), nullptr);
}

TEST_F(TreeFixture, ClickSelectsAndExpandReports) {
    std::vector<std::string> changes;
    tree->OnChange = [&](QTreeWidgetItem* n) { changes.push_back(TBarShellTreeView::NodePath(n)); };
    QTreeWidgetItem* b = Find("T:\\b");
    QRect r = tree->NodeTextRect(b);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    ASSERT_FALSE(changes.empty());
    EXPECT_EQ(changes.back(), "T:\\b");
    tree->ExpandNode(Find("T:\\a"));
    EXPECT_EQ(changes.back(), "T:\\a");
}

TEST_F(TreeFixture, RefreshListsAgainAndKeepsExpansionAndSelection) {
    tree->ExpandNode(Find("T:\\a"));
    tree->setCurrentItem(Find("T:\\a\\x"));
    folders["T:\\a"].push_back({"T:\\a\\y", "y", {}});
    tree->RefreshFrom(tree->Node(0));
    QTreeWidgetItem* a = Find("T:\\a");
    ASSERT_NE(a, nullptr);
    EXPECT_TRUE(a->isExpanded());
    EXPECT_EQ(a->childCount(), 2);
    EXPECT_EQ(TBarShellTreeView::NodePath(tree->currentItem()), "T:\\a\\x");
    EXPECT_TRUE(tree->Node(0)->isExpanded());
}

// The open/close mark of a node: drawn in the column left of the node (with
// and without the size bars), and a click on it opens and closes the node
// as in any tree view.
TEST_F(TreeFixture, OpenCloseMarksAreDrawnAndClickable) {
    // Also under a style sheet, as the window's splitter has one.
    for (const bool sheet : {false, true}) {
        tree->setStyleSheet(sheet ? "QSplitter::handle { background: rgb(236, 234, 230); }" : "");
        for (const bool bars : {false, true})
            CheckMarks(bars, sheet);
    }
}

}  // namespace
