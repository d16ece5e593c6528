#pragma once
// The Discover panel of the main window: what takes the space of the
// current drive, from the data the last scan stored beside its results (or
// from an opened scan's export), with nothing walked again. Three tabs:
// "Largest files" (the drive's largest files), "File types" (files, bytes
// and share per extension, with a bar) and "Old files" (the drive's
// largest files not changed for over a year before the scan). Columns sort;
// a double click or Enter on a file goes to its folder in the window and
// selects it; the item context menu works on the rows; choosing a type
// (double click or Enter) lists that type's largest files, which the scan
// collected for each listed type. Data stored before those lists were
// collected shows neither a type's files nor the old files, and says that
// they are known after the next scan. With a kept set chosen in the change
// view, the type table shows each type's change since that set. A fourth
// tab, "Found", lists what the last find found (FoundList.h); a fifth,
// "Duplicates", searches for and lists files with the same bytes
// (DuplicateTab.h). The file lists take several rows at once (Ctrl+click,
// Shift+click, Ctrl+A); the right button on one of several chosen rows
// opens the menu of many items.
#include <QDockWidget>
#include <QPoint>
#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "engine/DiscoverData.h"
#include "engine/FindQuery.h"

class QAction;
class QLabel;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class QToolButton;
class TFoundList;
class TDuplicateTab;

class TDiscoverPanel : public QDockWidget {
    Q_OBJECT
  public:
    explicit TDiscoverPanel(QWidget* parent = nullptr);

    // The View menu's item, checkable, off at every start.
    QAction* miDiscover() const { return miDiscover_; }

    // The drive's data; null with the reason when there is none.
    void SetData(std::shared_ptr<const TDiscoverData> data, const QString& unknown = QString());
    // The types of the kept set the change view compares with, with its
    // date ("2026-12-09 19:21 UTC"); null: no change column.
    void SetKeptTypes(std::shared_ptr<const TFileTypes> kept, const QString& keptName = QString());
    // The disk's view: the file types count the bytes the files take on the
    // disk, and the file lists (still of the largest files by size) show
    // those bytes beside the sizes.
    void SetAllocated(bool on);

    // Goes to a file's folder in the window and selects the file's row.
    std::function<void(const std::string& path)> OnGoTo;
    // The item context menu of a file, at a point of a control.
    std::function<void(const std::string& path, QWidget* control, QPoint at)> OnItemMenu;
    // The menu of several chosen rows (files, or the Found list's items:
    // path, whether a folder, size), at a point of a control.
    std::function<void(const TFoundItems& items, QWidget* control, QPoint at)> OnItemsMenu;
    // Shows what a find found in the "Found" tab and brings the tab up.
    void ShowFound(TFoundItems items, const QString& what);
    QTabWidget* Tabs() const { return tabs_; }
    TFoundList* FoundList() const { return found_; }
    QTreeWidget* LargestList() const { return largest_; }
    QTreeWidget* TypeList() const { return types_; }
    QTreeWidget* OldList() const { return old_; }
    QLabel* Note() const { return note_; }
    // The Duplicates tab (DuplicateTab.h), and making it the current tab.
    TDuplicateTab* Duplicates() const { return duplicates_; }
    void ShowDuplicates();
    // The type the largest files are limited to; empty: all of them.
    const std::string& TypeShown() const { return typeShown_; }
    // Shows one type's largest files in "Largest files" (lower-case
    // extension; "" the drive's).
    void ShowType(const std::string& ext);

  private:
    QTreeWidget* MakeList(const QStringList& captions);
    void Fill();
    void FillFiles(QTreeWidget* list, const std::vector<TLargeFile>* files);
    // A list of files as a tab shows it: Files null when not known.
    struct TListShown {
        const std::vector<TLargeFile>* Files = nullptr;
        std::int64_t Floor = -1;
        std::size_t Limit = kLargestFiles;
    };
    // What "Largest files" shows: the drive's files or the chosen type's.
    TListShown LargestShown() const;
    QString LargestNote() const;
    QString OldNote() const;
    void FillTypes();
    void TypeChosen(QTreeWidgetItem* row);
    void FileChosen(QTreeWidgetItem* row);
    void FileMenu(QTreeWidget* list, const QPoint& at);
    // The chosen rows of a file list as items; empty unless several.
    TFoundItems ChosenRows(QTreeWidget* list) const;
    // After an item command: the found items it moved away leave the list.
    void FoundGone();
    std::int64_t Shown(std::int64_t bytes, std::int64_t allocated) const;
    QString NoteText() const;

    QAction* miDiscover_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QTreeWidget* largest_ = nullptr;
    QTreeWidget* types_ = nullptr;
    QTreeWidget* old_ = nullptr;
    TFoundList* found_ = nullptr;
    TDuplicateTab* duplicates_ = nullptr;
    QLabel* note_ = nullptr;
    QToolButton* allTypes_ = nullptr;
    std::shared_ptr<const TDiscoverData> data_;
    QString unknown_;
    std::shared_ptr<const TFileTypes> kept_;
    QString keptName_;
    bool allocated_ = false;
    std::string typeShown_;
};
