// The folder tree with its size bars, painted offscreen and read back.
#include <gtest/gtest.h>

#include <QTest>
#include <algorithm>
#include <map>
#include <random>
#include <set>

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

// A drive of folders that commands change: every folder's subfolders,
// sorted, as a listing gives them.
class TFolderModel {
  public:
    std::map<std::string, std::vector<std::string>> Children;

    static std::string Parent(const std::string& path) { return path.substr(0, path.rfind('\\')); }
    std::vector<std::string> All() const {
        std::vector<std::string> all;
        for (const auto& [path, children] : Children)
            all.push_back(path);
        return all;
    }
    bool Has(const std::string& path) const { return Children.count(path) > 0; }
    void Add(const std::string& path) {
        Children[path];
        auto& siblings = Children[Parent(path)];
        siblings.insert(std::lower_bound(siblings.begin(), siblings.end(), path), path);
    }
    // Moves path and everything below it to another path; no place: removed.
    void Move(const std::string& path, const std::string& to) {
        auto& siblings = Children[Parent(path)];
        siblings.erase(std::find(siblings.begin(), siblings.end(), path));
        std::map<std::string, std::vector<std::string>> moved;
        for (auto it = Children.begin(); it != Children.end();) {
            if (it->first == path || it->first.rfind(path + "\\", 0) == 0) {
                if (!to.empty()) {
                    std::vector<std::string> renamed;
                    for (const std::string& c : it->second)
                        renamed.push_back(to + c.substr(path.size()));
                    moved[to + it->first.substr(path.size())] = renamed;
                }
                it = Children.erase(it);
            } else {
                ++it;
            }
        }
        if (to.empty())
            return;
        Children.insert(moved.begin(), moved.end());
        auto& into = Children[Parent(to)];
        into.insert(std::lower_bound(into.begin(), into.end(), to), to);
    }
};

// Against a model drive changed by random renames, moves, removals and new
// folders: after RefreshTreeFolders of the changed folders' parents, every
// listed node holds exactly the model's subfolders in order, nothing else is
// listed again, expanded nodes that remain stay expanded, and the selection
// stays or goes to the nearest folder that remains.
TEST(TreeRefresh, FollowsRandomChangesListingOnlyTheParents) {
    TestApp();
    std::mt19937 random(20261210);
    for (int round = 0; round < 150; ++round) {
        TFolderModel model;
        model.Children["T:"];
        for (int i = 0; i < 40; ++i) {
            const std::vector<std::string> all = model.All();
            const std::string& parent = all[random() % all.size()];
            const std::string path = parent + "\\n" + std::to_string(random() % 90 + 10);
            if (!model.Has(path) && std::count(path.begin(), path.end(), '\\') <= 4)
                model.Add(path);
        }
        std::vector<std::string> listed;
        TBarShellTreeView tree;
        tree.SetLister([&](const std::string& path) {
            listed.push_back(path);
            std::vector<TTreeFolder> folders;
            const auto it = model.Children.find(path == "T:\\" ? "T:" : path);
            if (it == model.Children.end())
                return folders;  // a folder gone lists nothing
            for (const std::string& c : it->second)
                folders.push_back({c, QString::fromStdString(c.substr(c.rfind('\\') + 1)), {}});
            return folders;
        });
        tree.SetRoot("T:\\", "T:");
        for (int i = 0; i < 12; ++i) {
            const std::vector<QTreeWidgetItem*> nodes = tree.Nodes();
            QTreeWidgetItem* node = nodes[random() % nodes.size()];
            tree.ExpandNode(node);
            if (random() % 3 == 0)
                node->setExpanded(false);
        }
        const std::vector<QTreeWidgetItem*> nodes = tree.Nodes();
        tree.setCurrentItem(nodes[random() % nodes.size()]);
        const std::string selected = TBarShellTreeView::NodePath(tree.currentItem());
        std::set<std::string> expanded, wasListed(listed.begin(), listed.end());
        for (QTreeWidgetItem* node : nodes)
            if (node->isExpanded())
                expanded.insert(TBarShellTreeView::NodePath(node));

        // A few commands, each with the parents of what it moved or made.
        std::vector<std::string> parents{"U:\\elsewhere"};
        for (int c = 0; c < 3; ++c) {
            const std::vector<std::string> all = model.All();
            const std::string& path = all[random() % all.size()];
            const std::string fresh = "\\m" + std::to_string(round) + "x" + std::to_string(c);
            const int kind = static_cast<int>(random() % 4);
            if (kind == 0) {
                model.Add(path + fresh);
                parents.push_back(path);
            } else if (path == "T:") {
                continue;
            } else if (kind == 1) {
                model.Move(path, {});
                parents.push_back(TFolderModel::Parent(path));
            } else {
                const std::string& other = all[random() % all.size()];
                const std::string into = kind == 2 ? TFolderModel::Parent(path) : other;
                if (into == path || into.rfind(path + "\\", 0) == 0)
                    continue;
                model.Move(path, into + fresh);
                parents.push_back(TFolderModel::Parent(path));
                parents.push_back(into);
            }
        }
        listed.clear();
        tree.RefreshTreeFolders(parents);

        for (const std::string& again : listed) {
            const std::string bare = again == "T:\\" ? "T:" : again;
            EXPECT_TRUE(std::count(parents.begin(), parents.end(), bare)) << again;
            EXPECT_TRUE(wasListed.count(again)) << again;
        }
        for (QTreeWidgetItem* node : tree.Nodes()) {
            const std::string path = TBarShellTreeView::NodePath(node);
            const std::string bare = path == "T:\\" ? "T:" : path;
            ASSERT_TRUE(model.Has(bare)) << "round " << round << ": " << path;
            std::vector<std::string> children;
            for (int i = 0; i < node->childCount(); ++i)
                children.push_back(TBarShellTreeView::NodePath(node->child(i)));
            if (wasListed.count(path))
                EXPECT_EQ(children, model.Children[bare]) << "round " << round << ": " << path;
            else
                EXPECT_TRUE(children.empty()) << path;
            EXPECT_EQ(node->isExpanded(), expanded.count(path) > 0) << path;
        }
        std::string nearest = selected;
        while (!model.Has(nearest == "T:\\" ? "T:" : nearest))
            nearest = TFolderModel::Parent(nearest);
        ASSERT_NE(tree.currentItem(), nullptr);
        EXPECT_EQ(TBarShellTreeView::NodePath(tree.currentItem()),
                  nearest == "T:" ? "T:\\" : nearest);
    }
}

}  // namespace
