#pragma once
// "Empty Trash": what the Trash of the current drive holds (name, original
// place, size, deletion date), with the Trash's total and the drive's free
// space. "Restore" puts the chosen items back where they came from;
// "Delete" and "Delete all" remove the chosen items, or all, for good
// after one question that names their total. What each did is followed in
// the stored analysis through the item commands' path (the links), the
// list and the numbers are read again, and a failure is told plainly,
// item by item, after the others were done.
#include <QDialog>
#include <functional>
#include <vector>

#include "app/shell/ItemContextMenu.h"
#include "platform/desktop/TrashContent.h"

class QLabel;
class QPushButton;
class QTreeWidget;

class TEmptyTrashDialog : public QDialog {
  public:
    // letter: the current drive; links: as the item menu's.
    TEmptyTrashDialog(char letter, TItemMenuLinks links, QWidget* parent);

    // Reads the trash folders again and fills the list.
    void Reload();
    // Asks questions and tells failures with these (tests answer them);
    // by default message boxes.
    std::function<bool(const QString& text)> Ask;
    std::function<void(const QString& text)> Tell;
    // Runs after every change of the trash (the tool bar's gauge).
    std::function<void()> Changed;

    QTreeWidget* List() const { return list_; }
    const cq::desktop::TTrashListing& Listing() const { return listing_; }
    void RestoreChosen();
    void DeleteChosen();
    void DeleteAll();

  private:
    std::vector<const cq::desktop::TTrashItem*> Chosen() const;
    void Delete(const std::vector<const cq::desktop::TTrashItem*>& items);
    // Runs the action on each item, follows what it did and tells failures.
    void Apply(const std::vector<const cq::desktop::TTrashItem*>& items, bool restore);
    void ShowTotals();

    char letter_;
    TItemMenuLinks links_;
    cq::desktop::TTrashListing listing_;
    QTreeWidget* list_ = nullptr;
    QLabel* totals_ = nullptr;
    QPushButton* restore_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* deleteAll_ = nullptr;
};
