// The search among the folder tree's nodes, on random trees whose folder
// names differ only in case, against a plain linear reference.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <map>
#include <memory>
#include <random>
#include <set>

#include "platform/DriveTable.h"
#include "tests/barlist/TestApp.h"
#include "views/tree/BarShellTreeView.h"
#include "views/tree/FolderTreeSearch.h"

namespace {

char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// The first node whose path names the query, the drive letter taken
// without case and everything else as written.
int ReferenceIndex(const TBarShellTreeView& tree, std::string query) {
    const std::vector<QTreeWidgetItem*> nodes = tree.Nodes();
    if (!query.empty()) {
        query[0] = Upper(query[0]);
    }
    for (size_t k = 0; k < nodes.size(); ++k) {
        std::string path = TBarShellTreeView::NodePath(nodes[k]);
        if (!path.empty()) {
            path[0] = Upper(path[0]);
        }
        if (path == query) {
            return static_cast<int>(k);
        }
    }
    return -1;
}

class FolderTreeSearch : public ::testing::TestWithParam<unsigned> {
  protected:
    void SetUp() override {
        TestApp();
        ASSERT_TRUE(disk.isValid());
        table =
            std::make_unique<TScopedDriveTable>(TDriveTable({{'T', disk.path().toStdString()}}));
        std::mt19937 random(GetParam());
        Grow("T:\\", disk.path(), 0, random);
        treeView = std::make_unique<TBarShellTreeView>();
        TBarShellTreeView& tree = *treeView;
        tree.SetLister([this](const std::string& path) {
            auto it = folders.find(path);
            return it == folders.end() ? std::vector<TTreeFolder>{} : it->second;
        });
        tree.SetRoot("T:\\", "T:");
    }

    // Subfolders named "a", "A", "b" or "B", up to four levels deep, made on
    // disk too (the way up from a folder asks the disk).
    void Grow(const std::string& path, const QString& real, int depth, std::mt19937& random) {
        static const char* const kNames[] = {"a", "A", "b", "B"};
        if (depth == 4) {
            return;
        }
        for (const char* name : kNames) {
            // The root keeps "a", so that no tree is empty.
            if (random() % 3 == 0 && !(depth == 0 && name == kNames[0])) {
                continue;
            }
            const std::string child = (path.back() == '\\' ? path : path + "\\") + name;
            const QString childReal = real + "/" + name;
            ASSERT_TRUE(QDir().mkpath(childReal));
            folders[path].push_back({child, name, QIcon()});
            all.push_back(child);
            Grow(child, childReal, depth + 1, random);
        }
    }

    QTemporaryDir disk;
    std::unique_ptr<TScopedDriveTable> table;
    std::map<std::string, std::vector<TTreeFolder>> folders;
    std::vector<std::string> all;
    std::unique_ptr<TBarShellTreeView> treeView;  // after the application
};

// The paths of the nodes that exist, and of those expanded.
std::set<std::string> NodePaths(const TBarShellTreeView& tree, bool expandedOnly) {
    std::set<std::string> paths;
    for (QTreeWidgetItem* node : tree.Nodes()) {
        if (!expandedOnly || node->isExpanded()) {
            paths.insert(TBarShellTreeView::NodePath(node));
        }
    }
    return paths;
}

// A folder's node is created when its parent is first expanded, and the way
// is walked from the folder up: each call opens the nodes of the way that
// already exist, so the way opens one more level a call until it is open.
TEST_P(FolderTreeSearch, ExpandingToAFolderOpensTheExistingNodesOfItsWay) {
    TBarShellTreeView& tree = *treeView;
    std::mt19937 random(GetParam() + 1000);
    const std::string target = all[random() % all.size()];
    std::set<std::string> way = {"T:\\"};
    for (size_t at = target.find('\\', 3); at != std::string::npos;
         at = target.find('\\', at + 1)) {
        way.insert(target.substr(0, at));
    }
    way.insert(target);

    for (size_t call = 0; call < way.size(); ++call) {
        const std::set<std::string> existing = NodePaths(tree, false);
        std::set<std::string> expected = NodePaths(tree, true);
        for (const std::string& step : way) {
            if (existing.count(step)) {
                expected.insert(step);
            }
        }
        ExpandTreeTo(tree, target);
        EXPECT_EQ(NodePaths(tree, true), expected) << target << " call " << call;
    }
    EXPECT_EQ(NodePaths(tree, true), way) << target;

    // Every node now shown is found where the plain search finds it, under
    // either case of the drive letter; a name in the other case is another
    // folder, or none.
    for (QTreeWidgetItem* node : tree.Nodes()) {
        std::string path = TBarShellTreeView::NodePath(node);
        for (std::string query : {path, "t" + path.substr(1)}) {
            EXPECT_EQ(FolderINTreeSLS(tree, query), ReferenceIndex(tree, query)) << query;
            if (query.size() > 3) {
                char& last = query.back();
                last = last == Upper(last) ? static_cast<char>(last - 'A' + 'a') : Upper(last);
                EXPECT_EQ(FolderINTreeSLS(tree, query), ReferenceIndex(tree, query)) << query;
            }
        }
    }
    EXPECT_EQ(FolderINTreeSLS(tree, "T:\\"), 0);
    EXPECT_EQ(FolderINTreeSLS(tree, "T:\\c"), -1);
}

INSTANTIATE_TEST_SUITE_P(RandomTrees, FolderTreeSearch, ::testing::Range(1u, 21u));

TEST(TreeRootCaption, DriveTableNameOrTheRootItself) {
    QTemporaryDir disk;
    ASSERT_TRUE(disk.isValid());
    TScopedDriveTable table(TDriveTable({{'T', disk.path().toStdString()}}));
    EXPECT_EQ(TreeRootCaption("T:\\").toStdString(), TDriveTable::Current()->DisplayName('T'));
    EXPECT_EQ(TreeRootCaption("Q:\\"), "Q:\\");
    EXPECT_EQ(TreeRootCaption(""), "");
}

}  // namespace
