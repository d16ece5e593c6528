// The real main window's folder tree after Move to Trash, Rename and Paste
// of folders through the bar list's own menu: its nodes are then those a
// fresh listing of the drive gives, in the same order, the nodes that
// remain keep their expansion and the selection, and a renamed folder's
// node opens the folder.
#include <gtest/gtest.h>

#include <QDirIterator>
#include <QMessageBox>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

#include "app/scan/ScanControl.h"
#include "app/shell/ItemContextMenu.h"
#include "tests/pieui/UiScript.h"
#include "tests/window/WindowFixture.h"
#include "views/tree/IconCache.h"

namespace {

// Expands every node, creating the nodes of folders never opened.
void ExpandAll(TBarShellTreeView& tree) {
    for (int done = 0; done < tree.NodeCount(); ++done)
        tree.ExpandNode(tree.Node(done));
}

std::vector<std::string> Paths(const TBarShellTreeView& tree) {
    std::vector<std::string> paths;
    for (QTreeWidgetItem* node : tree.Nodes())
        paths.push_back(TBarShellTreeView::NodePath(node));
    return paths;
}

class TreeFollow : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        // The drive's data home, where the trash goes.
        ASSERT_TRUE(QDir(drive->path()).mkpath("share"));
        OpenWindow();
        qputenv("XDG_DATA_HOME", QFile::encodeName(QDir(drive->path()).filePath("share")));
        form->tbTree->setChecked(true);
        form->acFTreeExecute();
        Settle();
        ExpandAll(*form->Tree);
    }

    void RightClickRow(const QString& name, QList<TUiScript::TStep> steps) {
        WindowFixture::RightClickRow(name, script, std::move(steps));
        ASSERT_TRUE(script.Finished());
        // The views are rebuilt once more when the change is stored: the
        // next click goes to the rows shown then.
        ASSERT_TRUE(QTest::qWaitFor([this] { return !form->Scan().Saving(); }, 10000));
        Settle();
    }

    // The folders of the drive read afresh: by a new tree over the same
    // listing, in its order, and straight from the disk, as a set.
    std::vector<std::string> FreshTree() const {
        TBarShellTreeView fresh;
        fresh.SetLister([](const std::string& path) {
            std::vector<TTreeFolder> folders;
            TShellListModel listing(&TIconCache::System());
            if (!listing.SetRoot(path))
                return folders;
            for (const TShellFolder& item : listing.Items())
                if (item.IsFolder())
                    folders.push_back({item.PathName(), item.DisplayName(), {}});
            return folders;
        });
        fresh.SetRoot("C:\\", "C:");
        ExpandAll(fresh);
        return Paths(fresh);
    }
    std::vector<std::string> DiskFolders() const {
        std::vector<std::string> folders{"C:\\"};
        QDirIterator it(drive->path(), QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString relative = QDir(drive->path()).relativeFilePath(it.next());
            folders.push_back("C:\\" + relative.toStdString());
            std::replace(folders.back().begin(), folders.back().end(), '/', '\\');
        }
        std::sort(folders.begin(), folders.end());
        return folders;
    }

    // Runs a command and checks the tree against the drive: the nodes that
    // were there and remain are still expanded, the selection stays, and
    // with every node opened the tree is the fresh one.
    void CheckTreeAfter(const std::function<void()>& command) {
        const std::vector<std::string> before = Paths(*form->Tree);
        // The folder shown is the one selected, as a click on it makes it.
        form->Tree->setCurrentItem(Node(form->Bar().Root()));
        const std::string selected = TBarShellTreeView::NodePath(form->Tree->currentItem());
        ASSERT_EQ(selected, form->Bar().Root());
        command();
        const std::vector<std::string> disk = DiskFolders();
        for (QTreeWidgetItem* node : form->Tree->Nodes()) {
            const std::string path = TBarShellTreeView::NodePath(node);
            if (std::count(before.begin(), before.end(), path)) {
                EXPECT_TRUE(node->isExpanded()) << path;
            }
        }
        EXPECT_EQ(TBarShellTreeView::NodePath(form->Tree->currentItem()), selected);
        ExpandAll(*form->Tree);
        const std::vector<std::string> shown = Paths(*form->Tree);
        EXPECT_EQ(shown, FreshTree());
        std::vector<std::string> sorted = shown;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(sorted, disk);
    }

    QTreeWidgetItem* Node(const std::string& path) const {
        for (QTreeWidgetItem* node : form->Tree->Nodes())
            if (TBarShellTreeView::NodePath(node) == path)
                return node;
        return nullptr;
    }

    TUiScript script;
};

TEST_F(TreeFollow, MoveToTrashRenameAndPasteLeaveTheTreeAsAFreshListing) {
    DoubleClickRow("alpha");
    ASSERT_EQ(form->Bar().Root(), "C:\\alpha");
    CheckTreeAfter([&] {
        RightClickRow("inner", {TUiScript::ChooseMenuItem("Move to Trash"),
                                TUiScript::ClickMessageBoxButton(QMessageBox::Yes)});
    });
    ASSERT_FALSE(QDir(drive->path()).exists("alpha/inner"));
    EXPECT_NE(Node("C:\\share\\Trash\\files\\inner"), nullptr) << "the Trash shows its folders";

    form->acFolderUP->trigger();
    Settle();
    CheckTreeAfter([&] {
        RightClickRow("beta", {TUiScript::ChooseMenuItem("Rename\u2026"),
                               TUiScript::TypeIntoInputDialog("delta", true)});
    });
    ASSERT_TRUE(QDir(drive->path()).exists("delta"));

    CheckTreeAfter([&] {
        RightClickRow("gamma", {TUiScript::ChooseMenuItem("Cut")});
        RightClickRow("delta", {TUiScript::ChooseMenuItem("Paste")});
    });
    ASSERT_TRUE(QDir(drive->path()).exists("delta/gamma"));
    CheckTreeAfter([&] {
        RightClickRow("alpha", {TUiScript::ChooseMenuItem("Copy")});
        RightClickRow("delta", {TUiScript::ChooseMenuItem("Paste")});
    });
    ASSERT_TRUE(QDir(drive->path()).exists("delta/alpha"));

    // The renamed folder's node opens it, without a message.
    QString message;
    QTimer boxes;
    QObject::connect(&boxes, &QTimer::timeout, [&message] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            message = box->text();
            box->close();
        }
    });
    boxes.start(10);
    QTreeWidgetItem* delta = Node("C:\\delta");
    ASSERT_NE(delta, nullptr);
    form->Tree->scrollToItem(delta);
    // A click enters a folder when the tree has the focus, as it then has.
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->Tree->setFocus();
    QTest::mouseClick(form->Tree->viewport(), Qt::LeftButton, Qt::NoModifier,
                      form->Tree->NodeTextRect(delta).center());
    Settle();
    boxes.stop();
    EXPECT_EQ(message, QString());
    EXPECT_EQ(form->Bar().Root(), "C:\\delta");
    EXPECT_EQ(RowNames(), (QStringList{"alpha", "gamma", "b.bin"}));
}

}  // namespace
