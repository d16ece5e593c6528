// The real main window on a test drive, driven with clicks and keys.
#include <gmock/gmock.h>

#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QSplitter>
#include <QToolBar>
#include <QToolButton>
#include <map>
#include <random>
#include <set>

#include "app/drives/DriveSelector.h"
#include "app/main/MenuRow.h"
#include "app/scan/ScanControl.h"
#include "engine/ResultStore.h"
#include "platform/DriveForm.h"
#include "tests/window/WindowFixture.h"
#include "views/bar/BarRows.h"
#include "views/common/NumberText.h"
#include "views/pie/PieData.h"

namespace {

using ::testing::ElementsAre;

TEST_F(WindowFixture, StartUpWithStoredResultsShowsTheRowsOfTheDriveRoot) {
    OpenWindow();
    EXPECT_EQ(form->windowTitle(), "Cobaltquarry 1.2 ");
    EXPECT_EQ(form->Bar().Root(), "C:\\");
    EXPECT_EQ(RowNames(), (QStringList{"alpha", "beta", "gamma", "f.bin"}));
    EXPECT_EQ(RowText("alpha", 1), "0.5");
    EXPECT_EQ(RowText("alpha", 2), "50.0");
    EXPECT_EQ(RowText("beta", 2), "30.0");
    EXPECT_EQ(RowText("gamma", 2), "0.0");
    EXPECT_EQ(RowText("f.bin", 2), "20.0");
    EXPECT_EQ(RowText("f.bin", 1), "0.2");
    // The first show pressed the bar button and loaded the tree's lists.
    EXPECT_TRUE(form->tbBar->isChecked());
    EXPECT_TRUE(form->tbPie->isChecked());
    EXPECT_FALSE(form->tbTree->isChecked());
    EXPECT_FALSE(form->FirstShowPending);
    EXPECT_FALSE(form->Tree->isVisible());
    EXPECT_EQ(form->Tree->Root(), "C:\\");
    EXPECT_TRUE(form->Tree->ShowBarCharts());
}

TEST_F(WindowFixture, LayoutFollowsTheDesign) {
    OpenWindow();
    EXPECT_EQ(form->size(), QSize(811, 539));
    EXPECT_EQ(form->ToolBar->height(), 29);
    EXPECT_EQ(form->BarLV->ColumnWidth(0), 200);
    EXPECT_EQ(form->BarLV->headerItem()->text(2), "Size, %");
    EXPECT_EQ(form->cbSort->geometry(), QRect(499, 16, 61, 19));
    EXPECT_EQ(form->cbSort->currentText(), "No sort");
    EXPECT_EQ(form->cbSort->mask().boundingRect(), QRect(2, 2, 57, 15));
    EXPECT_EQ(form->pieHolder->pos(), QPoint(404, 158));
    EXPECT_EQ(form->pieHolder->width(), form->barHolder->width() - 404);
    EXPECT_EQ(form->pieHolder->height(), form->barHolder->height() - 158);
    EXPECT_EQ(form->Pie->pos(), QPoint(4, 12));
    EXPECT_EQ(form->btnHolder->geometry(), QRect(4, 0, 93, 25));
    EXPECT_EQ(form->btnZOut->geometry(), QRect(20, 0, 21, 21));
    EXPECT_FALSE(form->btnSave->isVisibleTo(form.get()));
    EXPECT_EQ(form->btnDrives->height(), 22);
    EXPECT_GE(form->btnDrives->width(), 77);
    EXPECT_EQ(form->Splitter->handleWidth(), 5);
    EXPECT_EQ(form->Tree->indentation(), 23);
    // Tool bar order, left to right.
    std::vector<QString> order;
    for (QToolButton* b : {form->TB6, form->tbDiskAn, form->tbRescan, form->tbPie, form->tbBar,
                           form->tbTree, form->btnDrives, form->tbExit}) {
        order.push_back(b->objectName());
        EXPECT_TRUE(b->isVisible()) << b->objectName().toStdString();
    }
    for (size_t i = 1; i < order.size(); ++i) {
        QWidget* a = form->findChild<QWidget*>(order[i - 1]);
        QWidget* b = form->findChild<QWidget*>(order[i]);
        EXPECT_LT(a->x(), b->x()) << order[i].toStdString();
    }
    EXPECT_EQ(form->tbExit->toolTip(), "Exit Cobaltquarry");
    EXPECT_EQ(form->tbDiskAn->toolTip(), "Click to analize only current drive");
}

TEST_F(WindowFixture, DoubleClickEntersAFolderAndBackspaceClimbsToTheDriveRoot) {
    OpenWindow();
    DoubleClickRow("alpha");
    EXPECT_EQ(form->Bar().Root(), "C:\\alpha");
    EXPECT_EQ(RowNames(), (QStringList{"inner", "a.bin"}));
    EXPECT_EQ(RowText("inner", 2), "50.0");
    // A folder without results is entered too.
    DoubleClickRow("inner");
    EXPECT_EQ(form->Bar().Root(), "C:\\alpha\\inner");
    EXPECT_EQ(RowNames(), (QStringList{"i.bin"}));

    form->BarLV->setFocus();
    QTest::keyClick(form->BarLV, Qt::Key_Backspace);
    Settle();
    EXPECT_EQ(form->Bar().Root(), "C:\\alpha");
    QTest::keyClick(form->BarLV, Qt::Key_Backspace);
    Settle();
    EXPECT_EQ(form->Bar().Root(), "C:\\");
    EXPECT_EQ(RowNames(), (QStringList{"alpha", "beta", "gamma", "f.bin"}));
    // At the drive root the root stays current and the views are rebuilt.
    QTest::keyClick(form->BarLV, Qt::Key_Backspace);
    Settle();
    EXPECT_EQ(form->Bar().Root(), "C:\\");
    EXPECT_EQ(RowNames().size(), 4);
    EXPECT_TRUE(form->BarData().BarDataReady);
}

TEST_F(WindowFixture, DoubleClickOnAFileOpensIt) {
    std::vector<std::string> opened;
    TFormMainHooks hooks;
    hooks.ShellEx = [&](const std::string& path) { opened.push_back(path); };
    OpenWindow(hooks);
    DoubleClickRow("f.bin");
    EXPECT_THAT(opened, ElementsAre("C:\\f.bin"));
    EXPECT_EQ(form->Bar().Root(), "C:\\");
}

// Links to folders lead where they point, whichever way they are entered and
// wherever the program was started from: a folder of the same drive becomes
// current with its analysed numbers, a folder of drive D: switches to that
// drive (asking, since nothing is stored for it), a folder on no drive is
// entered under the link's own path, not analysed. "Folder up" then climbs
// the current folder's own path. None of them is handed to the file manager.
TEST_F(WindowFixture, LinksToFoldersLeadWhereTheyPoint) {
    QTemporaryDir second, outside;
    QDir(second.path()).mkpath("data");
    QFile(QDir(outside.path()).filePath("o.bin")).open(QIODevice::WriteOnly);
    table.reset();
    table = std::make_unique<TScopedDriveTable>(TDriveTable(
        {TDrive{'C', drive->path().toStdString()}, TDrive{'D', second.path().toStdString()}}));
    const QDir root(drive->path());
    ASSERT_TRUE(QFile::link("beta", root.filePath("to-beta")));
    ASSERT_TRUE(QFile::link("alpha/inner", root.filePath("deep")));
    ASSERT_TRUE(QFile::link(QDir(second.path()).filePath("data"), root.filePath("to-d")));
    ASSERT_TRUE(QFile::link(outside.path(), root.filePath("out")));
    // Started from another folder: anything read against it lands elsewhere.
    const QString oldCwd = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(root.filePath("alpha/inner")));

    std::vector<std::string> opened;
    TFormMainHooks hooks;
    hooks.ShellEx = [&](const std::string& path) { opened.push_back(path); };
    OpenWindow(hooks);
    const struct {
        QString link;
        std::string lands;
        QString row;        // a row of the folder reached
        QString share;      // that row's share
        std::string up;     // where "Folder up" goes from there
        bool asks = false;  // the drive's question is asked
    } cases[] = {
        {"to-beta", "C:\\beta", "b.bin", "100.0", "C:\\"},
        {"deep", "C:\\alpha\\inner", "i.bin", "100.0", "C:\\alpha"},
        {"to-d", "D:\\data", "", "", "D:\\", true},
        {"out", "C:\\out", "o.bin", "0", "C:\\"},
    };
    enum class TWay { DoubleClick, Return, KeypadEnter, Tree };
    for (const auto& c : cases) {
        for (TWay way : {TWay::DoubleClick, TWay::Return, TWay::KeypadEnter, TWay::Tree}) {
            const std::string name =
                c.link.toStdString() + " way " + std::to_string(static_cast<int>(way));
            if (form->Bar().Root()[0] != 'C') {
                form->Drives().EnterDriveAt("C:\\");
            }
            form->SetFolder("C:\\");
            Settle();
            questions.clear();
            if (way == TWay::Tree) {
                form->tbTree->setChecked(true);
                form->acFTreeExecute();
                form->Tree->RefreshFrom(form->Tree->Node(0));
                QTreeWidgetItem* node = nullptr;
                for (QTreeWidgetItem* n : form->Tree->Nodes()) {
                    if (TBarShellTreeView::NodePath(n) == "C:\\" + c.link.toStdString()) {
                        node = n;
                    }
                }
                ASSERT_NE(node, nullptr) << name;
                // Chosen without the focus, so that only the key enters it.
                form->BarLV->setFocus();
                form->Tree->setCurrentItem(node);
                ASSERT_EQ(form->Bar().Root(), "C:\\") << name;
                form->Tree->setFocus();
                QTest::keyClick(form->Tree, Qt::Key_Return);
            } else if (way == TWay::DoubleClick) {
                DoubleClickRow(c.link);
            } else {
                ASSERT_NE(Row(c.link), nullptr) << name;
                form->BarLV->setFocus();
                form->BarLV->setCurrentItem(Row(c.link));
                QTest::keyClick(form->BarLV, Qt::Key_Enter,
                                way == TWay::KeypadEnter ? Qt::KeypadModifier : Qt::NoModifier);
            }
            Settle();
            EXPECT_EQ(form->Bar().Root(), c.lands) << name;
            if (!c.row.isEmpty()) {
                EXPECT_EQ(RowText(c.row, 2).toStdString(), c.share.toStdString()) << name;
            }
            EXPECT_EQ(questions.size(), c.asks ? 1u : 0u) << name;
            if (way == TWay::Tree && qEnvironmentVariableIsSet("CQ_SCREENSHOT_DIR")) {
                Settle();  // the tool bar's layout follows the drive button's new width
                form->grab().save(qEnvironmentVariable("CQ_SCREENSHOT_DIR") + "/link-" + c.link +
                                  ".png");
            }
            if (c.asks) {
                EXPECT_TRUE(form->btnDrives->text().contains("(d:)")) << name;
            }
            form->tbTree->setChecked(false);
            form->acFTreeExecute();
            form->SetFolder(c.lands);  // the tree's hiding went to the drive's root
            form->acFolderUP->trigger();
            Settle();
            EXPECT_EQ(form->Bar().Root(), c.up) << name;
        }
    }
    EXPECT_TRUE(opened.empty());
    QDir::setCurrent(oldCwd);
}

// Where /bin is a link (to usr/bin), with drive C: at "/": entering it lands
// on C:\usr\bin with its stored numbers, and "Folder up" gives C:\usr.
TEST_F(WindowFixture, TheSystemsBinLinkLeadsToWhereItPoints) {
    const QFileInfo bin("/bin");
    if (!bin.isSymLink() || !bin.isDir()) {
        GTEST_SKIP() << "/bin is no link to a folder here";
    }
    table.reset();
    table = std::make_unique<TScopedDriveTable>(TDriveTable({TDrive{'C', "/"}}));
    const std::string lands = NativeToDriveForm(bin.canonicalFilePath().toStdString()).value();
    const std::string up = lands.substr(0, lands.rfind('\\'));
    ASSERT_NE(up.find('\\'), std::string::npos) << lands;  // not a folder of the root
    const QString oldCwd = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(data->path()));
    storeResults = false;
    TResultStore store;
    store.SetFiles("C:");
    ASSERT_TRUE(store.SaveAnalizeData(
        {{"C:", up, lands}, {"1000000", "800000", "400000"}, {"0", "80", "50"}}));
    OpenWindow();
    form->EnterFolder("C:\\bin");
    Settle();
    EXPECT_EQ(form->Bar().Root(), lands);
    EXPECT_FALSE(form->PieData().PiePlaceholder);
    ASSERT_FALSE(form->PieData().PieSizes.empty());
    EXPECT_EQ(std::string(form->PieData().PieSizes[0]), "400000");
    form->acFolderUP->trigger();
    Settle();
    EXPECT_EQ(form->Bar().Root(), up);
    QDir::setCurrent(oldCwd);
}

TEST_F(WindowFixture, ColumnClicksSortAndReverse) {
    OpenWindow();
    // Sort column 2 (percent): a click on "Size, %" reverses, smallest first.
    ClickHeader(2);
    EXPECT_TRUE(form->SortReverse);
    EXPECT_EQ(RowNames(), (QStringList{"gamma", "f.bin", "beta", "alpha"}));
    // "Name" keeps the reversal: Z to A.
    ClickHeader(0);
    EXPECT_EQ(form->SortColumn, 0);
    EXPECT_EQ(RowNames(), (QStringList{"gamma", "f.bin", "beta", "alpha"}));
    ClickHeader(0);
    EXPECT_FALSE(form->SortReverse);
    EXPECT_EQ(RowNames(), (QStringList{"alpha", "beta", "f.bin", "gamma"}));
    // Size in MB, largest first.
    ClickHeader(1);
    EXPECT_EQ(RowNames(), (QStringList{"alpha", "beta", "f.bin", "gamma"}));
    EXPECT_EQ(form->SortColumn, 1);
    // The bar column's header does nothing.
    ClickHeader(3);
    EXPECT_EQ(form->SortColumn, 1);
    EXPECT_FALSE(form->SortReverse);
}

TEST_F(WindowFixture, SortSelectorAppliesOnEveryRefill) {
    OpenWindow();
    ClickHeader(2);  // reverse on
    form->cbSort->setCurrentIndex(2);
    Q_EMIT form->cbSort->activated(2);
    EXPECT_EQ(form->SortColumn, 0);
    EXPECT_EQ(RowNames(), (QStringList{"gamma", "f.bin", "beta", "alpha"}));
    form->cbSort->setCurrentIndex(1);
    Q_EMIT form->cbSort->activated(1);
    EXPECT_EQ(form->SortColumn, 2);
    // "New colors" refills: still by percent, the reversal still in force.
    QTest::keySequence(form.get(), QKeySequence("Ctrl+C"));
    Settle();
    EXPECT_EQ(RowNames(), (QStringList{"gamma", "f.bin", "beta", "alpha"}));
    EXPECT_TRUE(form->SortReverse);
}

TEST_F(WindowFixture, HalfShareBarFollowsTheColumnWidthAndTheSelectorMoves) {
    OpenWindow();
    form->BarLV->setCurrentIndex(QModelIndex());
    EXPECT_EQ(BarLength(ListShot(), "alpha"), 50);
    EXPECT_EQ(BarLength(ListShot(), "beta"), 30);
    // Widen the bar column by dragging its divider from 500 to 600.
    QWidget* port = form->BarLV->header()->viewport();
    int y = form->BarLV->header()->height() / 2;
    QTest::mousePress(port, Qt::LeftButton, Qt::NoModifier, QPoint(500, y));
    QMouseEvent move(QEvent::MouseMove, QPointF(600, y), port->mapToGlobal(QPointF(600, y)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(port, &move);
    EXPECT_EQ(form->BarLV->ColumnWidth(3), 100);
    EXPECT_EQ(form->cbSort->x(), 499);
    QTest::mouseRelease(port, Qt::LeftButton, Qt::NoModifier, QPoint(600, y));
    Settle();
    EXPECT_EQ(form->BarLV->ColumnWidth(3), 200);
    EXPECT_EQ(BarLength(ListShot(), "alpha"), 100);
    EXPECT_EQ(form->cbSort->x(), 600);
    EXPECT_EQ(form->cbSort->y(), 16);
}

TEST_F(WindowFixture, ZeroPercentRowHasNoBar) {
    OpenWindow();
    form->BarLV->setCurrentIndex(QModelIndex());
    QImage shot = ListShot();
    EXPECT_EQ(BarLength(shot, "gamma"), 0);
    // Its bar cell shows neither a bar nor the path.
    QRect r = form->BarLV->RowRect(Row("gamma"));
    int dark = 0;
    for (int x = 400; x < 500; ++x) {
        for (int y = r.top(); y < r.top() + r.height(); ++y) {
            dark += shot.pixelColor(x, y).lightness() < 200;
        }
    }
    EXPECT_EQ(dark, 0);
    EXPECT_GT(BarLength(shot, "f.bin"), 0);
}

TEST_F(WindowFixture, ReleasingTheBarButtonHidesThePieToo) {
    OpenWindow();
    ASSERT_TRUE(form->pieHolder->isVisible());
    QTest::mouseClick(form->tbBar, Qt::LeftButton);
    Settle();
    EXPECT_FALSE(form->tbBar->isChecked());
    EXPECT_TRUE(form->tbPie->isChecked());
    EXPECT_FALSE(form->barHolder->isVisible());
    EXPECT_FALSE(form->pieHolder->isVisible());
    QTest::mouseClick(form->tbBar, Qt::LeftButton);
    Settle();
    EXPECT_TRUE(form->pieHolder->isVisible());
    QTest::mouseClick(form->tbPie, Qt::LeftButton);
    Settle();
    EXPECT_FALSE(form->pieHolder->isVisible());
    EXPECT_TRUE(form->BarLV->isVisible());
}

TEST_F(WindowFixture, FunctionKeysRunTheViewMenuItems) {
    OpenWindow();
    QTest::keyClick(form.get(), Qt::Key_F2);
    Settle();
    EXPECT_FALSE(form->miPieChart->isChecked());
    EXPECT_FALSE(form->tbPie->isChecked());
    EXPECT_FALSE(form->pieHolder->isVisible());
    QTest::keyClick(form.get(), Qt::Key_F4);
    Settle();
    EXPECT_TRUE(form->miFolderTree->isChecked());
    EXPECT_TRUE(form->tbTree->isChecked());
    EXPECT_TRUE(form->Tree->isVisible());
    EXPECT_TRUE(form->Split2()->isVisible());
    EXPECT_LT(form->Tree->x(), form->Split2()->x());
    EXPECT_LT(form->Split2()->x(), form->BarPieHolder->x());
    QTest::keyClick(form.get(), Qt::Key_F3);
    Settle();
    EXPECT_FALSE(form->miBarChart->isChecked());
    EXPECT_FALSE(form->tbBar->isChecked());
    EXPECT_FALSE(form->barHolder->isVisible());
    // The tool buttons do not change the check marks.
    QTest::mouseClick(form->tbTree, Qt::LeftButton);
    Settle();
    EXPECT_FALSE(form->Tree->isVisible());
    EXPECT_TRUE(form->miFolderTree->isChecked());
}

TEST_F(WindowFixture, ViewMenuRowsStandInTwoColumns) {
    std::vector<QString> topics;
    TFormMainHooks hooks;
    hooks.HelpTopic = [&](const QString& topic) { topics.push_back(topic); };
    OpenWindow(hooks);
    form->menuView->popup(form->mapToGlobal(QPoint(40, 20)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form->menuView));
    auto* pieCell = form->menuView->findChild<TMenuCell*>("miPieChartCell");
    auto* helpCell = form->menuView->findChild<TMenuCell*>("menuPieHelpCell");
    ASSERT_NE(pieCell, nullptr);
    ASSERT_NE(helpCell, nullptr);
    // The "?" stands beside its item, on the same row.
    EXPECT_EQ(pieCell->mapTo(form->menuView, QPoint(0, 0)).y(),
              helpCell->mapTo(form->menuView, QPoint(0, 0)).y());
    EXPECT_GT(helpCell->mapTo(form->menuView, QPoint(0, 0)).x(),
              pieCell->mapTo(form->menuView, QPoint(0, 0)).x());
    EXPECT_EQ(helpCell->Action()->statusTip(), "Html\\Pie-Chart.html");
    QTest::mouseClick(helpCell, Qt::LeftButton);
    EXPECT_FALSE(form->menuView->isVisible());
    ASSERT_EQ(topics.size(), 1u);
    EXPECT_EQ(topics[0], "Html\\Pie-Chart.html");
    EXPECT_TRUE(form->miPieChart->isChecked());

    form->menuView->popup(form->mapToGlobal(QPoint(40, 20)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form->menuView));
    QTest::mouseClick(pieCell, Qt::LeftButton);
    Settle();
    EXPECT_FALSE(form->miPieChart->isChecked());
    EXPECT_FALSE(form->tbPie->isChecked());
}

TEST_F(WindowFixture, TreeShowsBarsOfTheLoadedResults) {
    OpenWindow();
    QTest::keyClick(form.get(), Qt::Key_F4);
    Settle();
    ASSERT_TRUE(form->Tree->isVisible());
    EXPECT_EQ(form->Tree->indentation(), 55);
    QTreeWidgetItem* alpha = nullptr;
    for (QTreeWidgetItem* node : form->Tree->Nodes()) {
        if (TBarShellTreeView::NodePath(node) == "C:\\alpha") {
            alpha = node;
        }
    }
    ASSERT_NE(alpha, nullptr);
    QImage shot = form->Tree->viewport()->grab().toImage();
    QRect row = form->Tree->NodeRowRect(alpha);
    int bar = 0;
    for (int x = 0; x < shot.width(); ++x) {
        bar += shot.pixelColor(x, row.top() + row.height() / 2) == QColor(255, 215, 174);
    }
    EXPECT_EQ(bar, 17);
}

TEST_F(WindowFixture, TreeClickMakesAFolderCurrentAndBarDoubleClickExpandsIt) {
    OpenWindow();
    QTest::keyClick(form.get(), Qt::Key_F4);
    Settle();
    auto find = [&](const std::string& path) -> QTreeWidgetItem* {
        for (QTreeWidgetItem* node : form->Tree->Nodes()) {
            if (TBarShellTreeView::NodePath(node) == path) {
                return node;
            }
        }
        return nullptr;
    };
    QTreeWidgetItem* beta = find("C:\\beta");
    ASSERT_NE(beta, nullptr);
    QTest::mouseClick(form->Tree->viewport(), Qt::LeftButton, Qt::NoModifier,
                      form->Tree->NodeTextRect(beta).center());
    Settle();
    EXPECT_EQ(form->Bar().Root(), "C:\\beta");
    EXPECT_EQ(RowNames(), (QStringList{"b.bin"}));

    QTest::keyClick(form->BarLV, Qt::Key_Backspace);
    Settle();
    QTreeWidgetItem* alpha = find("C:\\alpha");
    ASSERT_NE(alpha, nullptr);
    EXPECT_FALSE(alpha->isExpanded());
    DoubleClickRow("alpha");
    EXPECT_EQ(form->Bar().Root(), "C:\\alpha");
    EXPECT_TRUE(alpha->isExpanded());
    // The selection in the tree stays where it was.
    EXPECT_EQ(TBarShellTreeView::NodePath(form->Tree->currentItem()), "C:\\beta");
    EXPECT_EQ(form->FolderINTreeSLS("C:\\alpha\\inner"), form->FolderINTreeSLS("c:\\alpha\\inner"));
    EXPECT_EQ(form->FolderINTreeSLS("C:\\ALPHA"), -1);
}

TEST_F(WindowFixture, RightClickOffersTheItemsContextMenu) {
    std::vector<int> asked;
    TFormMainHooks hooks;
    hooks.InvokeContextMenu = [&](int index, QWidget*, QPoint) { asked.push_back(index); };
    OpenWindow(hooks);
    QRect r = form->BarLV->visualItemRect(Row("beta"));
    QTest::mouseClick(form->BarLV->viewport(), Qt::RightButton, Qt::NoModifier,
                      QPoint(40, r.center().y()));
    Settle();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(form->Bar().Item(asked[0]).PathName(), "C:\\beta");
}

TEST_F(WindowFixture, ClosingFreesTheLists) {
    OpenWindow();
    EXPECT_FALSE(form->Store.GlobalSLSEmpty());
    form->close();
    EXPECT_TRUE(form->ListsFreed);
    EXPECT_TRUE(form->Store.GlobalSLSEmpty());
    EXPECT_TRUE(form->BarData().BarSLSEmpty());
}

// Ctrl+F in alpha after a big new subfolder appeared there: its row, alpha's
// pie and, one level up, alpha's row and the drive's pie all show the new
// numbers, from the rescan alone.
TEST_F(WindowFixture, FolderRescanShowsTheNewSubfolderAndTheParentsNewNumbersAtOnce) {
    OpenWindow();
    DoubleClickRow("alpha");
    ASSERT_EQ(form->Bar().Root(), "C:\\alpha");
    ASSERT_EQ(RowNames(), (QStringList{"inner", "a.bin"}));
    QDir root(drive->path());
    ASSERT_TRUE(root.mkpath("alpha/big"));
    QFile big(root.filePath("alpha/big/huge.bin"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(4000000));
    big.close();
    // Rows and pie of the old numbers, on the grey the bar refresh leaves
    // while the pie is rebuilt.
    form->pieHolder->SetBackground(Qt::lightGray);

    form->Scan().SetAsker([this](const QString& text) {
        questions.push_back(text);
        return true;
    });
    QTest::keyClick(form.get(), Qt::Key_F, Qt::ControlModifier);
    ASSERT_EQ(questions.back(), "Analize folder \"C:\\alpha \" ?");
    ASSERT_TRUE(QTest::qWaitFor([this] { return !form->Scan().Scanning(); }, 20000));
    Settle();

    // alpha is 4 500 000 bytes now: big 88.9 %, inner and a.bin 5.6 % each.
    EXPECT_EQ(form->Bar().Root(), "C:\\alpha");
    EXPECT_EQ(RowNames(), (QStringList{"big", "inner", "a.bin"}));
    EXPECT_EQ(RowText("big", 1), "3.8");
    EXPECT_EQ(RowText("big", 2), "88.9");
    EXPECT_EQ(RowText("inner", 2), "5.6");
    auto pieSlices = [this] {
        const TPieData& pie = form->PieData();
        QStringList slices;
        double degrees = 0;
        for (std::size_t i = 1; i < pie.PieNames.size(); ++i) {
            slices << QString::fromStdString(std::string(pie.PieNames[i]) + " " +
                                             std::string(pie.PiePercents[i]));
            degrees += std::stod(std::string(pie.PiePercents[i])) * 3.6;
        }
        // Shares of one decimal may add up to a little over a full turn.
        EXPECT_LE(degrees, 360.0 + 0.05 * 3.6 * static_cast<double>(slices.size()));
        EXPECT_GE(degrees, 356.0) << "nothing is left out";
        return slices;
    };
    EXPECT_EQ(pieSlices(), (QStringList{"Big 88.9", "Inner 5.6", "A.bin 5.55555534362793"}));
    EXPECT_EQ(form->pieHolder->viewport()->palette().color(QPalette::Window), QColor(Qt::white));

    form->acFolderUP->trigger();
    Settle();
    ASSERT_EQ(form->Bar().Root(), "C:\\");
    EXPECT_EQ(RowText("alpha", 1), "4.3");
    EXPECT_EQ(RowText("alpha", 2), "90.0");
    EXPECT_EQ(RowText("beta", 2), "6.0");
    EXPECT_EQ(RowText("f.bin", 2), "4.0");
    EXPECT_EQ(pieSlices(), (QStringList{"Alpha 90.0", "Beta 6.0", "F.bin 4"}));
}

TEST_F(WindowFixture, SplashRunsTheStartUpBeforeTheFirstShow) {
    std::vector<std::string> steps;
    TFormMainHooks hooks;
    hooks.RunSplash = [&](const std::function<void()>& startUp) {
        steps.push_back("splash");
        startUp();
        steps.push_back("hidden");
    };
    hooks.CreateAbout = [&] { steps.push_back("about"); };
    hooks.SetHelpFile = [&](const QString& file) {
        steps.push_back("help");
        EXPECT_TRUE(file.endsWith("/Cobaltquarry.chm"));
    };
    OpenWindow(hooks);
    EXPECT_THAT(steps, ElementsAre("splash", "hidden", "help", "about"));
    // The start-up built the drive button's caption from the drive table.
    EXPECT_TRUE(form->btnDrives->text().contains("c:")) << form->btnDrives->text().toStdString();
}

}  // namespace
