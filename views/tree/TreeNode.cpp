#include "views/tree/TreeNode.h"

#include "views/tree/NodeSpeaker.h"

QVariant TTreeNode::data(int column, int role) const {
    const auto* speaker = dynamic_cast<const TNodeSpeaker*>(treeWidget());
    if (role == Qt::AccessibleTextRole && column == 0 && speaker)
        return speaker->SpokenNode(this);
    return QTreeWidgetItem::data(column, role);
}
