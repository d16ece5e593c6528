#pragma once

#include <QTreeWidgetItem>

// A node of the folder tree. Its accessible text is asked of the tree each
// time it is read, so it always tells the size and share of the analysis
// that is shown, however often the lists change after the node was made.
// A tree that is no TNodeSpeaker leaves the node's own text.
class TTreeNode : public QTreeWidgetItem {
  public:
    QVariant data(int column, int role) const override;
};
