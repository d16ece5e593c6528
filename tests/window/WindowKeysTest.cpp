// The main window for a keyboard user: mnemonics of every menu and item, the
// two-column rows walked with the arrow keys, and the tool bar's drive
// button and folder path.
#include <sys/stat.h>
#include <unistd.h>

#include <QFileDialog>
#include <QMenuBar>
#include <QTimer>
#include <QToolButton>
#include <QWidgetAction>
#include <array>
#include <random>
#include <set>

#include "app/drives/DriveSelector.h"
#include "app/main/FolderPathLabel.h"
#include "app/main/MenuRow.h"
#include "app/pie/PieControl.h"
#include "platform/DriveForm.h"
#include "tests/window/WindowFixture.h"
#include "views/pie/PieData.h"

namespace {

// The captions as the user reads them: an "&" only marks the mnemonic.
QString Plain(const QString& caption) {
    QString text = caption;
    text.replace("&&", "\x01");
    text.remove('&');
    text.replace("\x01", "&");
    return text;
}

QChar MnemonicOf(const QString& caption) {
    const QKeySequence key = QKeySequence::mnemonic(caption);
    return key.isEmpty() ? QChar() : QKeySequence(key[0].key()).toString()[0].toLower();
}

// Every item of a menu, the cells of its rows included, in order.
std::vector<QAction*> Items(QMenu* menu) {
    std::vector<QAction*> items;
    for (QAction* action : menu->actions()) {
        if (auto* row = qobject_cast<QWidgetAction*>(action)) {
            for (TMenuCell* cell : row->defaultWidget()->findChildren<TMenuCell*>()) {
                items.push_back(cell->Action());
            }
        } else if (!action->isSeparator()) {
            items.push_back(action);
        }
    }
    return items;
}

TEST_F(WindowFixture, EveryMenuAndItemHasAMnemonicThatOnlyAddsAnAmpersand) {
    OpenWindow();
    const std::vector<std::pair<QString, QStringList>> design = {
        {"Analize",
         {"Disk",
          "?",
          "Folder",
          "?",
          "Find\u2026",
          "?",
          "Find duplicates\u2026",
          "?",
          "Open scan file\u2026",
          "?",
          "Open remote scan\u2026",
          "?",
          "Save scan as\u2026",
          "?",
          "Exclude\u2026",
          "?",
          "Empty Trash\u2026",
          "?",
          "Cleanups\u2026",
          "?"}},
        {"View",
         {"Pie chart", "?", "Bar chart", "?", "Folder tree", "?", "Changes", "?", "Discover", "?",
          "Treemap", "?", "Disk usage", "?"}},
        {" ? ", {"Contents", "Home Page", "What is", "About"}},
    };
    const QList<QAction*> menus = form->menuBar()->actions();
    ASSERT_EQ(menus.size(), static_cast<qsizetype>(design.size()));
    std::set<QChar> menuKeys;
    for (size_t m = 0; m < design.size(); ++m) {
        const QString title = menus[static_cast<int>(m)]->text();
        EXPECT_EQ(Plain(title), design[m].first);
        EXPECT_FALSE(MnemonicOf(title).isNull()) << title.toStdString();
        EXPECT_TRUE(menuKeys.insert(MnemonicOf(title)).second) << title.toStdString();

        QStringList captions;
        std::set<QChar> itemKeys;
        for (QAction* item : Items(menus[static_cast<int>(m)]->menu())) {
            captions << Plain(item->text());
            const QChar key = MnemonicOf(item->text());
            EXPECT_FALSE(key.isNull()) << item->text().toStdString();
            // Only the "?" items share theirs; pressing it walks through them.
            if (Plain(item->text()) != "?") {
                EXPECT_TRUE(itemKeys.insert(key).second) << item->text().toStdString();
            }
            // A topic path is the item's hint, never its tool tip.
            EXPECT_FALSE(item->toolTip().contains("Html")) << item->toolTip().toStdString();
        }
        EXPECT_EQ(captions, design[m].second);
        EXPECT_EQ(itemKeys.count('?'), 0u);
        for (TMenuCell* cell : menus[static_cast<int>(m)]->menu()->findChildren<TMenuCell*>()) {
            EXPECT_FALSE(cell->toolTip().contains("Html")) << cell->toolTip().toStdString();
        }
    }
}

// A random walk with the arrow keys over the View menu's rows, checked
// against a plain model of the grid (rows wrap, columns stop at the edges),
// ending with Enter on the cell the model says is selected.
TEST_F(WindowFixture, ArrowKeysWalkTheRowsAndEnterRunsTheSelectedCell) {
    std::vector<QString> topics;
    TFormMainHooks hooks;
    hooks.HelpTopic = [&](const QString& topic) { topics.push_back(topic); };
    OpenWindow(hooks);
    QMenu* menu = form->menuView;
    const std::vector<std::array<QAction*, 2>> grid = {
        {form->miPieChart, form->findChild<QAction*>("menuPieHelp")},
        {form->miBarChart, form->findChild<QAction*>("menuBarHelp")},
        {form->miFolderTree, form->findChild<QAction*>("menuTreeHelp")},
        {form->miChanges, form->findChild<QAction*>("menuChangesHelp")},
        {form->miDiscover, form->findChild<QAction*>("menuDiscoverHelp")},
        {form->miTreemap, form->findChild<QAction*>("menuTreemapHelp")},
        {form->miDiskUsage, form->findChild<QAction*>("menuDiskUsageHelp")}};
    const int rows = static_cast<int>(grid.size());
    std::mt19937 random(7);
    const Qt::Key keys[] = {Qt::Key_Up, Qt::Key_Down, Qt::Key_Left, Qt::Key_Right};
    for (int walk = 0; walk < 12; ++walk) {
        menu->popup(form->mapToGlobal(QPoint(40, 20)));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
        int row = -1, column = 0;
        const int steps = std::uniform_int_distribution<int>(1, 12)(random);
        for (int step = 0; step < steps; ++step) {
            const Qt::Key key = keys[std::uniform_int_distribution<int>(0, 3)(random)];
            QWidget* target = menu->focusWidget() ? menu->focusWidget() : menu;
            QTest::keyClick(target, key);
            if (key == Qt::Key_Down) {
                row = (row + 1) % rows;
            } else if (key == Qt::Key_Up) {
                row = row < 0 ? rows - 1 : (row + rows - 1) % rows;
            } else if (row >= 0) {
                column = key == Qt::Key_Left ? 0 : 1;
            }
            ASSERT_TRUE(menu->isVisible());
            if (row >= 0) {
                auto* focused = qobject_cast<TMenuCell*>(menu->focusWidget());
                ASSERT_NE(focused, nullptr) << "step " << step;
                EXPECT_TRUE(focused->Selected());
                EXPECT_EQ(focused->Action(), grid[static_cast<size_t>(row)][column])
                    << "walk " << walk << " step " << step << " key " << key << " got "
                    << focused->Action()->objectName().toStdString() << " want row " << row
                    << " column " << column;
            }
        }
        if (row < 0) {
            QTest::keyClick(menu, Qt::Key_Escape);
            EXPECT_FALSE(menu->isVisible());
            continue;
        }
        QAction* chosen = grid[static_cast<size_t>(row)][column];
        const size_t before = topics.size();
        const bool wasChecked = chosen->isChecked();
        QTest::keyClick(menu->focusWidget(), Qt::Key_Return);
        Settle();
        EXPECT_FALSE(menu->isVisible());
        if (column == 1) {
            ASSERT_EQ(topics.size(), before + 1);
            EXPECT_EQ(topics.back(), chosen->statusTip());
        } else {
            EXPECT_EQ(topics.size(), before);
            EXPECT_NE(chosen->isChecked(), wasChecked);
        }
    }
}

// One key of an action and a widget where Qt looks for it.
struct TClaim {
    QAction* action;
    QKeySequence key;
    QWidget* widget;
};

// The widgets of an action's key: an action in a menu is looked for where
// the menu's own action stands (the menu bar, or an outer menu), as Qt does.
void ClaimWidgets(QAction* action, std::vector<QWidget*>& widgets, int depth = 0) {
    for (QObject* object : action->associatedObjects()) {
        if (auto* menu = qobject_cast<QMenu*>(object)) {
            if (depth < 8) {
                ClaimWidgets(menu->menuAction(), widgets, depth + 1);
            }
        } else if (auto* widget = qobject_cast<QWidget*>(object)) {
            widgets.push_back(widget);
        }
    }
}

// True when the claim's key acts while the focus is in widget.
bool Covers(const TClaim& claim, QWidget* widget) {
    switch (claim.action->shortcutContext()) {
        case Qt::ApplicationShortcut:
            return true;
        case Qt::WindowShortcut:
            return claim.widget->window() == widget->window();
        case Qt::WidgetWithChildrenShortcut:
            return claim.widget == widget || claim.widget->isAncestorOf(widget);
        case Qt::WidgetShortcut:
            return claim.widget == widget;
    }
    return true;
}

// Every action of the window: its children's, its widgets' and its menus',
// and the drive menu's, which has no parent.
std::set<QAction*> AllActions(TFormMain& form) {
    std::set<QAction*> actions;
    for (QAction* a : form.findChildren<QAction*>()) {
        actions.insert(a);
    }
    std::vector<QWidget*> widgets = {&form, form.Drives().pmDrives()};
    for (QWidget* w : form.findChildren<QWidget*>()) {
        widgets.push_back(w);
    }
    for (QWidget* w : widgets) {
        for (QAction* a : w->actions()) {
            actions.insert(a);
        }
    }
    return actions;
}

// No key is claimed twice where both claims act: Qt would find it ambiguous
// and run neither. A menu row only shows its command's key, it claims none.
TEST_F(WindowFixture, NoTwoCommandsShareAKeyWhereBothAct) {
    OpenWindow();
    std::vector<TClaim> claims;
    const std::set<QAction*> actions = AllActions(*form);
    for (QAction* action : actions) {
        std::vector<QWidget*> widgets;
        ClaimWidgets(action, widgets);
        for (const QKeySequence& key : action->shortcuts()) {
            for (QWidget* widget : widgets) {
                claims.push_back({action, key, widget});
            }
        }
    }
    for (size_t i = 0; i < claims.size(); ++i) {
        for (size_t j = i + 1; j < claims.size(); ++j) {
            const TClaim& a = claims[i];
            const TClaim& b = claims[j];
            if (a.action == b.action || a.key != b.key) {
                continue;
            }
            EXPECT_FALSE(Covers(a, b.widget) || Covers(b, a.widget))
                << a.key.toString().toStdString() << ": " << a.action->objectName().toStdString()
                << " and " << b.action->objectName().toStdString();
        }
    }
    // The keys the window gives its commands, each claimed where it acts.
    const std::vector<std::pair<QAction*, QKeySequence>> keys = {
        {form->acFolderUP, QKeySequence(Qt::Key_Backspace)},
        {form->menuDisk, QKeySequence("Ctrl+D")},
        {form->menuFolder, QKeySequence("Ctrl+F")},
        {form->menuOpenScan, QKeySequence("Ctrl+Shift+O")},
        {form->menuOpenRemote, QKeySequence("Ctrl+Shift+R")},
        {form->miPieChart, QKeySequence(Qt::Key_F2)},
        {form->miBarChart, QKeySequence(Qt::Key_F3)},
        {form->miFolderTree, QKeySequence(Qt::Key_F4)},
        {form->acZoomIN, QKeySequence("Ctrl+I")},
        {form->acZoomOUT, QKeySequence("Ctrl+O")},
        {form->acChangeColors, QKeySequence("Ctrl+C")},
    };
    for (const auto& [action, key] : keys) {
        EXPECT_TRUE(actions.count(action)) << action->objectName().toStdString();
        EXPECT_EQ(action->shortcut().toString(), key.toString())
            << action->objectName().toStdString();
        const bool claimed = std::any_of(claims.begin(), claims.end(), [&](const TClaim& c) {
            return c.action == action && Covers(c, form->BarLV);
        });
        EXPECT_TRUE(claimed) << action->objectName().toStdString();
    }
}

// The zoom keys and the scan file's key, with the keyboard in the bar list
// and in the pie: each runs its own command.
TEST_F(WindowFixture, CtrlOZoomsOutAndCtrlShiftOOpensTheScanFileChooser) {
    OpenWindow();
    for (QWidget* target : {static_cast<QWidget*>(form->BarLV), form->Pie}) {
        const std::string name = target->objectName().toStdString();
        // The chooser of the round before took the activation with it.
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        target->setFocus();
        Settle();
        ASSERT_TRUE(target->hasFocus()) << name;
        form->pieHolder->SetZoom(100);

        QTest::keyClick(target, Qt::Key_O, Qt::ControlModifier);
        Settle();
        EXPECT_EQ(form->pieHolder->Zoom(), 80) << name;
        QTest::keyClick(target, Qt::Key_I, Qt::ControlModifier);
        Settle();
        EXPECT_EQ(form->pieHolder->Zoom(), 100) << name;

        // The chooser is modal: it is seen, and cancelled, from the loop it runs.
        QString chooser;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                chooser = dialog->windowTitle();
                dialog->reject();
            }
        });
        poll.start();
        QTest::keyClick(target, Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
        Settle();
        poll.stop();
        EXPECT_EQ(chooser, "Open scan file") << name;
        EXPECT_EQ(form->pieHolder->Zoom(), 100) << name;
        EXPECT_FALSE(form->ShowsOpenedScan());
    }
}

// Enter on the main keyboard and on the keypad enters the slice the arrow
// keys chose, as a click on it does.
TEST_F(WindowFixture, EnterOnTheChosenSliceEntersItFromEitherKeyboard) {
    OpenWindow();
    for (const Qt::KeyboardModifiers mods : {Qt::NoModifier, Qt::KeypadModifier}) {
        form->SetFolder("C:\\");
        Settle();
        form->Pie->setFocus();
        QTest::keyClick(form->Pie, Qt::Key_Right, mods);
        const int chosen = form->pieHolder->KeySlice();
        ASSERT_GE(chosen, 1);
        const std::string slice(form->PieData().PiePaths[static_cast<size_t>(chosen)]);
        QTest::keyClick(form->Pie, mods == Qt::NoModifier ? Qt::Key_Return : Qt::Key_Enter, mods);
        Settle();
        EXPECT_EQ(form->Bar().Root(), slice) << mods;
        EXPECT_NE(slice, "C:\\");
    }
}

// Folders named with random bytes (control characters, "%", "\", bytes that
// are no UTF-8): the tool bar shows each one's native path, decoded, with
// "?" for a control character; never an escape of the drive form. The
// buttons to its left stay where they are.
TEST_F(WindowFixture, FolderPathShowsTheNativePathReadably) {
    OpenWindow();
    std::vector<int> positions;
    for (QWidget* w : {static_cast<QWidget*>(form->tbExit), static_cast<QWidget*>(form->btnDrives),
                       static_cast<QWidget*>(form->tbTree)}) {
        positions.push_back(w->x());
    }
    EXPECT_EQ(form->FolderPath->Text(), QString(drive->path()));
    EXPECT_GT(form->FolderPath->x(), form->tbExit->x());

    std::mt19937 random(15);
    for (int round = 0; round < 25; ++round) {
        std::string name;
        const int length = std::uniform_int_distribution<int>(1, 30)(random);
        for (int i = 0; i < length; ++i) {
            char c = static_cast<char>(std::uniform_int_distribution<int>(1, 127)(random));
            name += c == '/' ? '%' : c;
        }
        if (name == "." || name == "..") {
            continue;
        }
        const std::string native = drive->path().toStdString() + "/" + name;
        ASSERT_EQ(mkdir(native.c_str(), 0700), 0) << name;
        form->SetFolder(std::string("C:\\") + EscapeName(name));
        Settle();
        // The plain reference: the native path's bytes, controls as "?".
        QString expected;
        for (unsigned char c : native) {
            expected += (c < 0x20 || c == 0x7F) ? QChar('?') : QChar(c);
        }
        EXPECT_EQ(form->FolderPath->Text(), expected) << name;
        EXPECT_EQ(form->FolderPath->toolTip(), expected);
        rmdir(native.c_str());
    }
    // Bytes that are no UTF-8 are not dropped, and a long path loses its
    // middle, not its ends.
    EXPECT_EQ(ReadablePath("/a\xff"
                           "b\n"),
              QString("/a\uFFFDb?"));
    form->FolderPath->SetPath("/" + std::string(300, 'x') + "/end");
    const QString shown = form->FolderPath->ShownText();
    EXPECT_TRUE(shown.startsWith("/xx")) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith("/end")) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QChar(0x2026)));
    EXPECT_LE(form->FolderPath->fontMetrics().horizontalAdvance(shown), form->FolderPath->width());

    std::vector<int> after;
    for (QWidget* w : {static_cast<QWidget*>(form->tbExit), static_cast<QWidget*>(form->btnDrives),
                       static_cast<QWidget*>(form->tbTree)}) {
        after.push_back(w->x());
    }
    EXPECT_EQ(after, positions);
}

}  // namespace
