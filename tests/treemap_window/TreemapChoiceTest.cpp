// Choosing several tiles with Ctrl+click in the real window (offscreen), over
// the fixture's drive C: (alpha 500000 = inner 250000 + a.bin, beta 300000,
// f.bin 200000): the tiles join and leave the choice, are outlined, and the
// item menu on one of them acts on them all.
#include <gtest/gtest.h>

#include <QMessageBox>
#include <algorithm>

#include "tests/treemap_window/TreemapWindowFixture.h"

namespace {

class TreemapChoice : public TreemapWindow {
  protected:
    void CtrlClick(int tile) {
        ASSERT_GT(tile, 0);
        QTest::mouseClick(&View(), Qt::LeftButton, Qt::ControlModifier, Centre(tile));
        Settle();
    }
    // The deepest tile in the middle of the path's tile: the one a click there chooses.
    int Under(const std::string& path) {
        const int tile = TileOf(path);
        EXPECT_GT(tile, 0) << path;
        return tile > 0 ? View().TileAt(Centre(tile)) : -1;
    }
    std::vector<std::string> ChosenPaths() {
        std::vector<std::string> paths;
        for (const int tile : View().ChosenTiles())
            paths.push_back(View().TilePathOf(tile));
        return paths;
    }
    // Whether the tile's outline (black outer ring) is drawn at its corners.
    bool Outlined(const QImage& shot, int tile) {
        const QRect r = View().Layout().Tile(tile).Rect;
        for (const QPoint p : {r.topLeft(), r.bottomRight(), QPoint(r.right(), r.top())})
            if (shot.pixelColor(p) != QColor(Qt::black))
                return false;
        return true;
    }
    // The text of the Properties box of the right button's menu on tile
    // (-1: of the menu key's menu).
    QString PropertiesOf(int tile) {
        QString text;
        script.Start({TUiScript::ChooseMenuItem("Properties"),
                      TUiScript::ClickMessageBoxButton(QMessageBox::Ok, &text)});
        if (tile < 0)
            QTest::keyClick(&View(), Qt::Key_Menu);
        else
            QTest::mouseClick(&View(), Qt::RightButton, Qt::NoModifier, Centre(tile));
        Settle();
        EXPECT_TRUE(script.Finished());
        QTest::qWait(50);  // the script's last poll, which must not outlive it
        return text;
    }
};

}  // namespace

TEST_F(TreemapChoice, CtrlClickAddsAndRemovesTilesWhichAreOutlinedAndShareOneMenu) {
    OpenWindow();
    ShowTreemap();
    // The tiles of inner's and beta's files, which fill their folders.
    const int inner = Under("C:\\alpha\\inner");
    const int beta = Under("C:\\beta");
    const int file = Under("C:\\f.bin");
    ASSERT_EQ(View().Layout().Tile(inner).Item.Kind, TTileKind::OwnFiles);
    ASSERT_EQ(View().Layout().Tile(beta).Item.Kind, TTileKind::OwnFiles);
    ASSERT_EQ(file, TileOf("C:\\f.bin"));
    QTest::mouseClick(&View(), Qt::LeftButton, Qt::NoModifier, Centre(inner));
    CtrlClick(beta);
    CtrlClick(file);
    EXPECT_EQ(ChosenPaths(),
              (std::vector<std::string>{"C:\\alpha\\inner", "C:\\beta", "C:\\f.bin"}));
    EXPECT_EQ(Current(), "C:\\f.bin") << "the bar list follows the tile chosen last";
    QImage shot = View().grab().toImage();
    EXPECT_TRUE(Outlined(shot, inner));
    EXPECT_TRUE(Outlined(shot, beta));
    EXPECT_TRUE(Outlined(shot, file));
    EXPECT_FALSE(Outlined(shot, TileOf("C:\\alpha"))) << "the folder holding a chosen tile is not";
    EXPECT_FALSE(Outlined(shot, TileOf("C:\\alpha\\inner")));
    KeepTreemapShot(shot, "treemap-ctrl-click.png");

    EXPECT_EQ(PropertiesOf(beta),
              "Properties|3 items: 1 files and 2 folders.\n"
              "Size: 0.7 MB (750000 bytes).");
    EXPECT_EQ(View().ChosenTiles().size(), 3u) << "the menu keeps the choice";

    CtrlClick(beta);
    EXPECT_EQ(ChosenPaths(), (std::vector<std::string>{"C:\\alpha\\inner", "C:\\f.bin"}));
    shot = View().grab().toImage();
    EXPECT_FALSE(Outlined(shot, beta));
    EXPECT_TRUE(Outlined(shot, inner) && Outlined(shot, file));
    EXPECT_EQ(PropertiesOf(inner),
              "Properties|2 items: 1 files and 1 folders.\n"
              "Size: 0.4 MB (450000 bytes).");
    EXPECT_EQ(PropertiesOf(-1),
              "Properties|2 items: 1 files and 1 folders.\n"
              "Size: 0.4 MB (450000 bytes).")
        << "the menu key's menu is the same";

    // The right button on a tile not chosen, or a plain click, chooses it alone.
    QTest::mouseClick(&View(), Qt::LeftButton, Qt::NoModifier, Centre(beta));
    Settle();
    EXPECT_EQ(ChosenPaths(), (std::vector<std::string>{"C:\\beta"}));
    // A tile's Ctrl+click after a plain choice starts from it.
    CtrlClick(inner);
    CtrlClick(inner);
    CtrlClick(beta);
    EXPECT_TRUE(View().ChosenTiles().empty());
    EXPECT_EQ(View().Chosen(), -1);
}

TEST_F(TreemapChoice, TheChoiceOfSeveralTilesOutlivesAResizeButNotAnotherFolder) {
    OpenWindow();
    ShowTreemap();
    QTest::mouseClick(&View(), Qt::LeftButton, Qt::NoModifier, Centre(Under("C:\\beta")));
    CtrlClick(Under("C:\\alpha\\inner"));
    form->resize(form->width() + 80, form->height() + 40);
    Settle();
    ASSERT_EQ(View().Layout().Size(), View().size());
    EXPECT_EQ(ChosenPaths(), (std::vector<std::string>{"C:\\beta", "C:\\alpha\\inner"}));
    DoubleClickRow("alpha");
    Settle();
    EXPECT_EQ(form->Bar().Root(), "C:\\alpha");
    const std::vector<std::string> kept = ChosenPaths();
    EXPECT_EQ(std::count(kept.begin(), kept.end(), "C:\\beta"), 0)
        << "only a tile still shown stays chosen";
    EXPECT_LE(kept.size(), 1u);
}

TEST_F(TreemapChoice, RowsChosenWithCtrlInTheBarListAreTheTilesChosen) {
    OpenWindow();
    ShowTreemap();
    auto clickRow = [this](const QString& name, Qt::KeyboardModifiers keys) {
        QTreeWidgetItem* row = Row(name);
        ASSERT_NE(row, nullptr);
        const QRect r = form->BarLV->visualItemRect(row);
        QTest::mouseClick(form->BarLV->viewport(), Qt::LeftButton, keys,
                          QPoint(40, r.center().y()));
        Settle();
    };
    clickRow("beta", Qt::NoModifier);
    EXPECT_EQ(ChosenPaths(), (std::vector<std::string>{"C:\\beta"}));
    clickRow("f.bin", Qt::ControlModifier);
    EXPECT_EQ(ChosenPaths(), (std::vector<std::string>{"C:\\beta", "C:\\f.bin"}));
    const QImage shot = View().grab().toImage();
    EXPECT_TRUE(Outlined(shot, TileOf("C:\\beta")));
    EXPECT_TRUE(Outlined(shot, TileOf("C:\\f.bin")));
    EXPECT_FALSE(Outlined(shot, TileOf("C:\\alpha")));
    EXPECT_EQ(PropertiesOf(Under("C:\\beta")),
              "Properties|2 items: 1 files and 1 folders.\n"
              "Size: 0.5 MB (500000 bytes).");
    clickRow("beta", Qt::ControlModifier);
    EXPECT_EQ(ChosenPaths(), (std::vector<std::string>{"C:\\f.bin"}));
}
