#pragma once
// What a screen reader says of a node of a tree widget. A tree whose nodes
// tell more than their text (sizes, shares) implements it; its nodes ask
// it each time they are read, without knowing the tree's own class.
#include <QString>

class QTreeWidgetItem;

class TNodeSpeaker {
  public:
    virtual QString SpokenNode(const QTreeWidgetItem* node) const = 0;

  protected:
    ~TNodeSpeaker() = default;
};
