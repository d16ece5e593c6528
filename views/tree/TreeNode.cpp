#include "views/tree/TreeNode.h"

#include "views/tree/BarShellTreeView.h"

QVariant TTreeNode::data(int column, int role) const {
    auto* tree = qobject_cast<const TBarShellTreeView*>(treeWidget());
    if (role == Qt::AccessibleTextRole && column == 0 && tree)
        return tree->SpokenNode(this);
    return QTreeWidgetItem::data(column, role);
}
