#pragma once
// The Discover panel of the main window: what takes the space of the
// current drive, from the data the last scan stored beside its results (or
// from an opened scan's export), with nothing walked again. Three tabs:
// "Largest files" (the drive's largest files), "File types" (files, bytes
// and share per extension, with a bar) and "Old files" (those of the
// largest files not changed for over a year). Columns sort; a double click
// or Enter on a file goes to its folder in the window and selects it; the
// item context menu works on the rows; choosing a type (double click or
// Enter) lists its largest files. With a kept set chosen in the change
// view, the type table shows each type's change since that set.
#include <QDockWidget>
#include <QPoint>
#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "engine/DiscoverData.h"

class QAction;
class QLabel;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class QToolButton;

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
    // Seconds since 1970 now (tests fix it): "Old files" are those not
    // changed for over a year before it.
    std::function<qint64()> Now;

    QTabWidget* Tabs() const { return tabs_; }
    QTreeWidget* LargestList() const { return largest_; }
    QTreeWidget* TypeList() const { return types_; }
    QTreeWidget* OldList() const { return old_; }
    QLabel* Note() const { return note_; }
    // The type the largest files are limited to; empty: all of them.
    const std::string& TypeShown() const { return typeShown_; }
    // Limits "Largest files" to one type (lower-case extension; "" all).
    void ShowType(const std::string& ext);

    static constexpr qint64 kOldSeconds = 365 * 24 * 3600;

  private:
    QTreeWidget* MakeList(const QStringList& captions);
    void Fill();
    void FillFiles(QTreeWidget* list, bool oldOnly);
    void FillTypes();
    void TypeChosen(QTreeWidgetItem* row);
    void FileChosen(QTreeWidgetItem* row);
    void FileMenu(QTreeWidget* list, const QPoint& at);
    std::int64_t Shown(std::int64_t bytes, std::int64_t allocated) const;
    QString NoteText() const;

    QAction* miDiscover_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QTreeWidget* largest_ = nullptr;
    QTreeWidget* types_ = nullptr;
    QTreeWidget* old_ = nullptr;
    QLabel* note_ = nullptr;
    QToolButton* allTypes_ = nullptr;
    std::shared_ptr<const TDiscoverData> data_;
    QString unknown_;
    std::shared_ptr<const TFileTypes> kept_;
    QString keptName_;
    bool allocated_ = false;
    std::string typeShown_;
};
