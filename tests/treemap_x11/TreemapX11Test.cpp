// The treemap panel in the real window on an X display (xvfb-run), read by
// a screen reader's registry (AT-SPI, in a private D-Bus session): a real
// mouse click on the deepest large tile chooses its bar-list row and its
// folder's tree node; the hint and the tile under the pointer agree with
// the stored sizes; the registry reads the current folder's tiles with
// their names, sizes and shares.
#include <QApplication>
#include <QCursor>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QToolTip>

#include "app/treemap/TreemapPanel.h"
#include "app/treemap/TreemapView.h"
#include "tests/window/WindowFixture.h"

namespace {

class TreemapX11 : public WindowFixture {
  protected:
    TTreemapView& View() { return *form->Treemap().View(); }
    void Open() {
        OpenWindow();
        form->miFolderTree->trigger();
        form->miTreemap->trigger();
        ASSERT_TRUE(QTest::qWaitFor([this] { return View().Layout().Count() > 3; }, 5000));
        Settle();
    }
    int TileOf(const std::string& path) {
        for (int i = 1; i < View().Layout().Count(); ++i)
            if (View().Layout().Tile(i).Item.Kind == TTileKind::Folder &&
                View().TilePathOf(i) == path)
                return i;
        return -1;
    }
    // The whole accessible tree of this process, as the registry gives it.
    QJsonObject Walk() {
        QProcess walker;
        walker.start(
            QStringLiteral(CQ_PYTHON),
            {QStringLiteral(CQ_ATSPI_WALK), QString::number(QCoreApplication::applicationPid())});
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return walker.state() == QProcess::NotRunning; }, 120000));
        EXPECT_EQ(walker.exitCode(), 0) << walker.readAllStandardError().toStdString();
        return QJsonDocument::fromJson(walker.readAllStandardOutput()).object();
    }
    static void Find(const QJsonObject& node, const QString& prefix, QJsonObject& found) {
        if (found.isEmpty() && node["role"] == "chart" &&
            node["name"].toString().startsWith(prefix))
            found = node;
        for (const QJsonValue& child : node["children"].toArray())
            Find(child.toObject(), prefix, found);
    }
};

}  // namespace

TEST_F(TreemapX11, AClickOnTheDeepestLargeTileChoosesItsRowAndTreeNode) {
    Open();
    // inner (250000 of alpha's 500000) is the deepest folder.
    const int inner = TileOf("C:\\alpha\\inner");
    ASSERT_GT(inner, 0);
    const QPoint at = View().Layout().Tile(inner).Rect.center();
    QTest::mouseMove(&View(), at);
    QTest::mouseClick(&View(), Qt::LeftButton, Qt::NoModifier, at);
    Settle();
    QTreeWidgetItem* row = form->BarLV->currentItem();
    ASSERT_NE(row, nullptr);
    EXPECT_TRUE(row->isSelected());
    EXPECT_EQ(TFormMain::RowPath(row), "C:\\alpha");
    ASSERT_NE(form->Tree->currentItem(), nullptr);
    EXPECT_EQ(TBarShellTreeView::NodePath(form->Tree->currentItem()), "C:\\alpha\\inner");
    // The tile under the pointer, its hint and the stored size agree.
    const int under = View().TileAt(at);
    EXPECT_EQ(View().Layout().Tile(under).Item.Size, 250000);
    QHelpEvent help(QEvent::ToolTip, at, View().mapToGlobal(at));
    QApplication::sendEvent(&View(), &help);
    ASSERT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }, 3000));
    EXPECT_EQ(QToolTip::text(), "Files in C:\\alpha\\inner\nSize: 0.2 MB\nShare: 25.0 %");
}

TEST_F(TreemapX11, TheRegistryReadsTheCurrentFoldersTiles) {
    Open();
    QJsonObject map;
    Find(Walk(), QStringLiteral("Treemap of"), map);
    ASSERT_FALSE(map.isEmpty()) << "no treemap chart in the registry";
    EXPECT_EQ(map["name"].toString(), "Treemap of C:\\");
    QStringList names;
    for (const QJsonValue& child : map["children"].toArray())
        names << child.toObject()["name"].toString();
    EXPECT_EQ(names, (QStringList{"Alpha, 0.5 MB, 50.0 %", "Beta, 0.3 MB, 30.0 %",
                                  "F.bin, 0.2 MB, 20.0 %"}));
}
