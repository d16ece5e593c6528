#pragma once
// The question before duplicates are reclaimed: what to do with the copies
// (Move to Trash, replace by hard links, replace by clones), which copies
// (the chosen ones, or all but one in each group) and which copy of a group
// stays (the oldest, the newest, the shortest path, one inside a folder).
// It says what each way means: hard-linked names change together from then
// on, clones stay independent files, the trash frees nothing until emptied.
#include <QDialog>
#include <cstddef>

#include "engine/DuplicateKeepRule.h"
#include "engine/DuplicateReclaim.h"

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

class TDuplicateReclaimDialog : public QDialog {
    Q_OBJECT
  public:
    // chosenCopies: how many copies are chosen in the list (0: the choice
    // "the chosen copies" is off).
    TDuplicateReclaimDialog(QWidget* parent, std::size_t chosenCopies,
                            const QString& startFolder = {});

    TReclaimAction Action() const;
    TKeepRule Rule() const;
    bool AllButOne() const;

    QRadioButton* TrashChoice() const { return trash_; }
    QRadioButton* LinkChoice() const { return link_; }
    QRadioButton* CloneChoice() const { return clone_; }
    QRadioButton* ChosenChoice() const { return chosen_; }
    QRadioButton* AllChoice() const { return all_; }
    QComboBox* RuleChoice() const { return rule_; }
    QLineEdit* FolderEdit() const { return folder_; }
    QLabel* Explanation() const { return explanation_; }

  private:
    void Explain();

    QRadioButton *trash_, *link_, *clone_, *chosen_, *all_;
    QComboBox* rule_;
    QLineEdit* folder_;
    QLabel* explanation_;
};
