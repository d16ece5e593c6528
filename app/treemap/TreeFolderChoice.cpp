#include "app/treemap/TreeFolderChoice.h"

#include <QSignalBlocker>
#include <vector>

#include "views/common/PathText.h"
#include "views/tree/BarShellTreeView.h"
#include "views/tree/FolderTreeSearch.h"

void ChooseTreeFolder(TBarShellTreeView& tree, const std::string& folder) {
    std::vector<std::string> chain;  // the folder, then its parents up to the drive's root
    for (std::string p = folder; p.find('\\') != std::string::npos; p = GetParentDir(p))
        chain.push_back(p);
    if (!folder.empty())
        chain.push_back(folder.substr(0, folder.find('\\')) + '\\');
    const QSignalBlocker quiet(&tree);
    for (auto at = chain.rbegin(); at != chain.rend(); ++at) {
        const int k = FolderINTreeSLS(tree, *at);
        if (k < 0)
            continue;
        QTreeWidgetItem* node = tree.Node(k);
        if (*at != folder) {
            tree.ExpandNode(node);
            continue;
        }
        tree.setCurrentItem(node);
        tree.scrollToItem(node);
        return;
    }
}
