#pragma once
// The Discover panel's "Found" tab: what the last find found, one row an
// item (Name, Folder, Size MB, Modified, and "On disk, MB" in the disk's
// view), sortable by any column as the other lists are, with the total of
// what was found for the panel's note. Rows keep the item's drive-form
// path (TDiscoverRow::kPathRole) and whether it is a folder (kFolderRole).
#include <QString>
#include <QTreeWidget>

#include "engine/FindQuery.h"

class TFoundList : public QTreeWidget {
  public:
    static constexpr int kFolderRole = Qt::UserRole + 2;

    explicit TFoundList(QWidget* parent);

    // The items of a find and what it looked for ("*.o below C:\src").
    void SetFound(TFoundItems items, const QString& what);
    // The disk's view shows the allocated bytes beside the sizes.
    void SetAllocated(bool on);
    // "12 files and 3 folders found, 45.6 MB: *.o below C:\src"; empty
    // before the first find.
    QString NoteText() const;
    const TFoundItems& Items() const { return items_; }
    // Leaves out the items no longer where they were found (after an item
    // command moved them to the trash, or elsewhere).
    void DropGone();

  private:
    void Fill();

    TFoundItems items_;
    QString what_;
    bool searched_ = false;
    bool allocated_ = false;
};
