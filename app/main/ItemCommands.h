#pragma once
// The window's side of the item commands (the context menu of a listed
// item in the bar list, the pie or the Discover panel): which menu opens,
// what the menu is linked to (the stored analysis that follows Rename, Move
// to Trash and Paste, the views rebuilt afterwards), the note a command
// leaves on the tool bar until another folder is shown, and the message
// for an item or listing that cannot be read.
#include <QPoint>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "app/shell/FollowedActions.h"
#include "app/shell/ItemsMenu.h"

class QLabel;
class QToolBar;
class QWidget;
class TResultStore;
class TShellListModel;
struct TStoredSet;
struct TItemMenuLinks;

class TItemCommands {
  public:
    // Replace the menu and the opening of a document (tests): the listed
    // item's index, the control and the point; the document's path.
    using TMenuHook = std::function<void(int itemIndex, QWidget* control, QPoint at)>;
    using TOpenHook = std::function<void(const std::string& path)>;

    // owner: the parent of every menu and message; noteBar: where the note
    // goes; the hooks are read at each use, so they may be set later.
    TItemCommands(QWidget* owner, QToolBar& noteBar, TResultStore& store,
                  const TShellListModel& bar, const TMenuHook& menuHook, const TOpenHook& openHook);

    // The window's entry points a command calls afterwards: the listing
    // re-read and the views rebuilt; the copies of a changed stored set
    // followed; a note shown (through ShowNote).
    std::function<void()> RereadAndRebuild;
    std::function<void()> StoredSetChanged;
    std::function<void(const QString&)> ShowActionNote;
    // Stores a command's change behind the views (TItemMenuLinks).
    TFollowBehind FollowBehind;
    // The folder tree's entry point: the folders a command changed.
    std::function<void(const std::vector<std::string>& parents)> TreeFoldersChanged;

    // Entries other parts add to the menu of several items (cleanup
    // actions), after Move to Trash.
    std::vector<TItemsMenuEntry> ItemsEntries;

    TItemMenuLinks MenuLinks();
    // The menu of several chosen items, linked as the menu of one.
    void OpenItemsMenu(const TChosenItems& items, QWidget* control, QPoint at);
    // Listed items (bar rows) as chosen items: a folder with its stored
    // total, a file with its size.
    TChosenItems ChosenListed(const std::vector<std::string>& paths) const;
    // The context menu of the listed item with that path at a point of
    // control: the hook's when one is set, else the program's own.
    void OpenMenu(const std::string& path, QWidget* control, QPoint at);
    // Opens the listed file with the desktop's program for it; false for a
    // folder, or a link to one, which the window enters instead.
    bool OpenFile(const std::string& path);

    // Shows the note (made with the first one) and returns its label.
    QLabel* ShowNote(const QString& text);
    // A note stays while its folder is shown; another folder clears it.
    void FolderShown(const std::string& folder);

    void ShowError(const QString& message);

  private:
    QWidget* owner_;
    QToolBar& noteBar_;
    TResultStore& store_;
    const TShellListModel& bar_;
    const TMenuHook& menuHook_;
    const TOpenHook& openHook_;
    QLabel* note_ = nullptr;
    std::string noteFolder_;  // the folder the note was shown in
};
