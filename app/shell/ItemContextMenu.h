#pragma once
// The context menu of a file or folder of the current folder: Open, Copy
// path, Cut, Copy, Paste, Rename..., Move to Trash and Properties. The three
// commands that change the folder's content ("delete", "paste", "rename")
// re-read the listing and rebuild the views afterwards, also when the user
// declined or the command failed; the others change nothing in the program.
// What they did to the drive is followed in the stored analysis first.
#include <QPoint>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/shell/FollowedActions.h"

class QMenu;
class QWidget;
class TShellFolder;
class TShellListModel;
class TResultStore;

// Verbs of the menu's commands.
namespace ItemVerb {
inline const QString kOpen = QStringLiteral("open");
inline const QString kCopyPath = QStringLiteral("copypath");
inline const QString kCut = QStringLiteral("cut");
inline const QString kCopy = QStringLiteral("copy");
inline const QString kPaste = QStringLiteral("paste");
inline const QString kRename = QStringLiteral("rename");
inline const QString kDelete = QStringLiteral("delete");
inline const QString kProperties = QStringLiteral("properties");
}  // namespace ItemVerb

// "delete", "paste" and "rename", in any case.
bool IsRefreshVerb(const QString& verb);

// The menu for an item; each action carries its verb as data. Paste is
// enabled only on a folder while the clipboard holds files.
std::unique_ptr<QMenu> BuildItemMenu(const TShellFolder& item, QWidget* parent);

// What a menu needs of its window besides the owner.
struct TItemMenuLinks {
    // Re-reads the current folder and rebuilds the views (refresh verbs).
    std::function<void()> rereadAndRebuild;
    // The stored analysis that follows what Move to Trash, Rename and Paste
    // did (null: it stays as it is), and what follows a change of its set
    // (the folder tree's copies).
    TResultStore* store = nullptr;
    std::function<void()> storedChanged;
    // Stores the change behind the views when set (TFollowBehind); unset,
    // the change is stored at once (FollowInStore).
    TFollowBehind followBehind;
    // Shows a note to the user without asking anything (after a move to the
    // trash, which frees no space).
    std::function<void(const QString&)> note;
    // Lists again the folders that hold what a command moved, made or
    // removed (the folder tree's nodes of them).
    std::function<void(const std::vector<std::string>& parents)> foldersChanged;
};

// Carries out one verb on the item, with the owner as parent of every
// question and message. Failures are told in a message box. Returns what a
// command that changes the drive did; nothing when none ran (declined,
// cancelled, or a verb that changes nothing).
std::optional<TFollowedAction> RunItemVerb(QWidget* owner, const TShellFolder& item,
                                           const QString& verb);

// What the menu does after a command that changed the drive (verb, with
// what it did): the stored analysis follows it before the views are
// rebuilt (behind the views when links.followBehind is set); a move to the
// trash is followed by its note, and a save that failed is told in the same
// place, so that stale numbers are never taken for new.
void FollowAndNote(const TItemMenuLinks& links, const QString& verb, const TFollowedAction& done);

// What a cleanup action chosen in a menu of one or many items does when it
// has ended: what it measured again is followed as a menu command's change.
struct TCleanupLinks;
TCleanupLinks CleanupLinksFor(const TItemMenuLinks& links, const QString& verb);

// Shows the menu of item at pos of control (the bar list or the pie), runs
// the chosen command and, for a refresh verb, calls rereadAndRebuild once.
// Nothing happens without an item or when the menu is left without a choice
// (Escape, a click elsewhere). Returns the verb run, or an empty text.
QString InvokeContextMenuIMP(QWidget* owner, const TShellFolder* item, QWidget* control,
                             const QPoint& pos, const std::function<void()>& rereadAndRebuild);
// The same with the stored analysis following the command (before the
// views are rebuilt) and the note after a move to the trash.
QString InvokeContextMenuIMP(QWidget* owner, const TShellFolder* item, QWidget* control,
                             const QPoint& pos, const TItemMenuLinks& links);

// The same for the listed item with a path (a bar row): no menu when the
// listing does not hold exactly that path.
QString InvokeContextMenuForPath(QWidget* owner, const TShellListModel& bar, std::string_view path,
                                 QWidget* control, const QPoint& pos,
                                 const std::function<void()>& rereadAndRebuild);
QString InvokeContextMenuForPath(QWidget* owner, const TShellListModel& bar, std::string_view path,
                                 QWidget* control, const QPoint& pos, const TItemMenuLinks& links);
