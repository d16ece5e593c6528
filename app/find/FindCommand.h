#pragma once
// Analize > Find: asks what to find (TFindDialog, with the last find's
// choices), finds the folders at once in the store's lists of the drive
// and the files by a walk below the chosen folder behind a progress box
// with Cancel, and shows them in the Discover panel's "Found" tab. A
// cancelled walk changes nothing shown.
#include <QString>
#include <string>

#include "engine/FindQuery.h"

class QWidget;
class TDiscoverPanel;
class TResultStore;

class TFindCommand {
  public:
    TFindCommand(QWidget* owner, const TResultStore& store, TDiscoverPanel& panel);

    // folder: the listing's root ("C:\" or "C:\a").
    void Run(const std::string& folder);
    // Finds without asking (the dialog's part done by the caller, tests);
    // false when the walk was cancelled.
    bool Find(TFindQuery query);

  private:
    QWidget* owner_;
    const TResultStore& store_;
    TDiscoverPanel& panel_;
    TFindQuery last_;
};
