// The treemap panel in the real main window over the fixture's drive C:
// (alpha 500000 = inner 250000 + a.bin, beta 300000, gamma 0, f.bin
// 200000): off at start, tiles that agree with the stored sizes and the
// bar list, clicks and keys that reach the bar list, the tree and the item
// commands, the views it follows, and what a screen reader reads.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QDockWidget>
#include <QMessageBox>

#include "app/scan/ScanControl.h"
#include "engine/AnalizeDisk.h"
#include "engine/ResultStore.h"
#include "tests/treemap_window/TreemapWindowFixture.h"

TEST_F(TreemapWindow, IsOffAtStartAndLeavesTheWindowAsItWas) {
    OpenWindow();
    ASSERT_NE(form->miTreemap, nullptr);
    EXPECT_TRUE(form->miTreemap->isCheckable());
    EXPECT_FALSE(form->miTreemap->isChecked());
    EXPECT_FALSE(form->Treemap().isVisible());
    // No dock takes room: the views fill the window's width.
    EXPECT_EQ(form->centralWidget()->width(), form->width());
    EXPECT_EQ(form->Treemap().View()->Layout().Count(), 0) << "nothing is laid out while hidden";
    ShowTreemap();
    EXPECT_LT(form->centralWidget()->width(), form->width()) << "the panel stands beside the list";
}

TEST_F(TreemapWindow, TilesAgreeWithTheStoredSizesAndTheHint) {
    OpenWindow();
    ShowTreemap();
    const std::vector<std::pair<std::string, std::int64_t>> want{
        {"C:\\alpha", 500000}, {"C:\\alpha\\inner", 250000}, {"C:\\beta", 300000}};
    for (const auto& item : want) {
        const int tile = TileOf(item.first);
        ASSERT_GT(tile, 0) << item.first;
        const QPoint at = Centre(tile);
        // The deepest tile under the tile's centre is itself or inside it.
        int under = View().TileAt(at);
        while (under > 0 && under != tile)
            under = View().Layout().Tile(under).Parent;
        EXPECT_EQ(under, tile) << item.first;
        EXPECT_EQ(View().Layout().Tile(tile).Item.Size, item.second) << item.first;
    }
    // inner holds one file the largest-files list does not know: its
    // files fill it as one tile.
    const int inner = TileOf("C:\\alpha\\inner");
    const int files = View().TileAt(Centre(inner));
    EXPECT_EQ(View().Layout().Tile(files).Parent, inner);
    EXPECT_EQ(View().Layout().Tile(files).Item.Size, 250000);
    EXPECT_EQ(View().HintAt(Centre(inner)),
              "Files in C:\\alpha\\inner\nSize: 0.2 MB\nShare: 25.0 %");
    const int beta = TileOf("C:\\beta");
    EXPECT_EQ(View().HintAt(View().Layout().Tile(beta).Rect.topLeft()),
              "C:\\beta\nSize: 0.3 MB\nShare: 30.0 %")
        << "the frame of a folder is the folder's";
    // f.bin is a file of the current folder, with the bar list's size.
    const int file = TileOf("C:\\f.bin");
    ASSERT_GT(file, 0);
    EXPECT_EQ(View().Layout().Tile(file).Item.Size, 200000);
    // Areas follow the sizes: alpha is half the picture.
    const QRect alpha = View().Layout().Tile(TileOf("C:\\alpha")).Rect;
    const double share =
        double(alpha.width()) * alpha.height() / (double(View().width()) * View().height());
    EXPECT_NEAR(share, 0.5, 0.02);
}

TEST_F(TreemapWindow, AClickOnADeepTileSelectsItsRowAndItsFolderInTheTree) {
    OpenWindow();
    form->miFolderTree->trigger();
    ShowTreemap();
    const int inner = TileOf("C:\\alpha\\inner");
    ASSERT_GT(inner, 0);
    QTest::mouseClick(&View(), Qt::LeftButton, Qt::NoModifier, Centre(inner));
    Settle();
    // The deepest tile there: inner's files.
    EXPECT_EQ(View().Layout().Tile(View().Chosen()).Parent, inner) << "the deep tile stays chosen";
    EXPECT_EQ(Current(), "C:\\alpha") << "the row that holds it";
    ASSERT_NE(form->Tree->currentItem(), nullptr);
    EXPECT_EQ(TBarShellTreeView::NodePath(form->Tree->currentItem()), "C:\\alpha\\inner");
    EXPECT_EQ(form->Bar().Root(), "C:\\") << "a click only chooses";

    // The other way: a row chosen in the list outlines its tile.
    QTreeWidgetItem* beta = Row("beta");
    ASSERT_NE(beta, nullptr);
    form->BarLV->setCurrentItem(beta);
    Settle();
    EXPECT_EQ(View().Chosen(), TileOf("C:\\beta"));
}

TEST_F(TreemapWindow, KeysMoveBetweenTilesEnterAndGoUp) {
    OpenWindow();
    ShowTreemap();
    View().setFocus();
    QTest::keyClick(&View(), Qt::Key_Down);
    const int first = View().Chosen();
    ASSERT_EQ(first, TileOf("C:\\alpha")) << "the largest tile first";
    const QRect from = View().Layout().Tile(first).Rect;
    // alpha is the first row: a column at the left or a row at the top.
    const bool column = from.height() == View().height();
    QTest::keyClick(&View(), column ? Qt::Key_Right : Qt::Key_Down);
    const int next = View().Chosen();
    ASSERT_GT(next, 0);
    EXPECT_NE(next, first);
    if (column)
        EXPECT_GT(View().Layout().Tile(next).Rect.left(), from.right());
    else
        EXPECT_GT(View().Layout().Tile(next).Rect.top(), from.bottom());
    QTest::keyClick(&View(), column ? Qt::Key_Left : Qt::Key_Up);
    EXPECT_EQ(View().Chosen(), first);
    QTest::keyClick(&View(), column ? Qt::Key_Left : Qt::Key_Up);
    EXPECT_EQ(View().Chosen(), first) << "nothing beyond the edge";
    QTest::keyClick(&View(), Qt::Key_Return);
    Settle();
    EXPECT_EQ(form->Bar().Root(), "C:\\alpha");
    EXPECT_GT(TileOf("C:\\alpha\\inner"), 0) << "the treemap follows the folder entered";
    EXPECT_EQ(View().Layout().Tile(0).Item.Size, 500000);
    QTest::keyClick(&View(), Qt::Key_Backspace);
    Settle();
    EXPECT_EQ(form->Bar().Root(), "C:\\");
    // A double click enters a folder as the bar list does.
    QTest::mouseDClick(&View(), Qt::LeftButton, Qt::NoModifier, Centre(TileOf("C:\\beta")));
    Settle();
    EXPECT_EQ(form->Bar().Root(), "C:\\beta");
}

TEST_F(TreemapWindow, FollowsDiskUsage) {
    OpenWindow();
    ShowTreemap();
    ASSERT_GT(TileOf("C:\\alpha"), 0);
    // The fixture's files are sparse: no allocated bytes are stored, so
    // under Disk usage the views show no sizes and the treemap no tiles.
    form->miDiskUsage->trigger();
    Settle();
    EXPECT_EQ(TileOf("C:\\alpha"), -1);
    form->miDiskUsage->trigger();
    Settle();
    EXPECT_GT(TileOf("C:\\alpha"), 0);
}

TEST_F(TreemapWindow, TheItemMenuOfATileActsAndTheTreemapFollows) {
    // Stored as a scan stores them, so that the command's change is kept.
    ASSERT_TRUE(QDir(drive->path()).mkpath("share"));
    storeResults = false;
    {
        TAnalizeDisk analyzer;
        analyzer.Directory = "C:\\";
        analyzer.Recurse = true;
        analyzer.Execute();
        TResultStore store;
        store.SetFiles("C:");
        ASSERT_TRUE(
            store.SaveAnalizeData({analyzer.Dirs(), analyzer.DirSizes(), analyzer.Percents()}));
    }
    OpenWindow();
    qputenv("XDG_DATA_HOME", QFile::encodeName(QDir(drive->path()).filePath("share")));
    ShowTreemap();
    const int inner = TileOf("C:\\alpha\\inner");
    ASSERT_GT(inner, 0);
    QString question;
    script.Start({TUiScript::ChooseMenuItem("Move to Trash"),
                  TUiScript::ClickMessageBoxButton(QMessageBox::Yes, &question)});
    QTest::mouseClick(&View(), Qt::RightButton, Qt::NoModifier, Centre(inner));
    Settle();
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(question, "?|Move the folder \"inner\" and everything in it to the Trash?");
    ASSERT_TRUE(QTest::qWaitFor([this] { return !form->Scan().Saving(); }, 10000));
    Settle();
    EXPECT_EQ(TileOf("C:\\alpha\\inner"), -1);
    ASSERT_GT(TileOf("C:\\alpha"), 0);
    EXPECT_EQ(View().Layout().Tile(TileOf("C:\\alpha")).Item.Size, 250000);
}

TEST_F(TreemapWindow, AScreenReaderReadsTheCurrentFoldersTiles) {
    QAccessible::setActive(true);
    OpenWindow();
    ShowTreemap();
    QAccessibleInterface* map = QAccessible::queryAccessibleInterface(&View());
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->role(), QAccessible::Chart);
    EXPECT_EQ(map->text(QAccessible::Name), "Treemap of C:\\");
    QStringList names;
    for (int i = 0; i < map->childCount(); ++i)
        names << map->child(i)->text(QAccessible::Name);
    EXPECT_EQ(names, (QStringList{"Alpha, 0.5 MB, 50.0 %", "Beta, 0.3 MB, 30.0 %",
                                  "F.bin, 0.2 MB, 20.0 %"}));
    QTest::mouseClick(&View(), Qt::LeftButton, Qt::NoModifier, Centre(TileOf("C:\\beta")));
    Settle();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    View().setFocus();
    ASSERT_TRUE(View().hasFocus());
    QAccessibleInterface* focused = map->focusChild();
    ASSERT_NE(focused, nullptr);
    EXPECT_EQ(focused->text(QAccessible::Name), "Beta, 0.3 MB, 30.0 %");
    EXPECT_TRUE(focused->state().selected);
}
