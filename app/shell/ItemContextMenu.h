#pragma once
// The context menu of a file or folder of the current folder: Open, Copy
// path, Cut, Copy, Paste, Rename..., Move to Trash and Properties. The three
// commands that change the folder's content ("delete", "paste", "rename")
// re-read the listing and rebuild the views afterwards, also when the user
// declined or the command failed; the others change nothing in the program.
#include <QPoint>
#include <QString>
#include <functional>
#include <memory>
#include <string_view>

class QMenu;
class QWidget;
class TShellFolder;
class TShellListModel;

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

// Carries out one verb on the item, with the owner as parent of every
// question and message. Failures are told in a message box.
void RunItemVerb(QWidget* owner, const TShellFolder& item, const QString& verb);

// Shows the menu of item at pos of control (the bar list or the pie), runs
// the chosen command and, for a refresh verb, calls rereadAndRebuild once.
// Nothing happens without an item or when the menu is left without a choice
// (Escape, a click elsewhere). Returns the verb run, or an empty text.
QString InvokeContextMenuIMP(QWidget* owner, const TShellFolder* item, QWidget* control,
                             const QPoint& pos, const std::function<void()>& rereadAndRebuild);

// The same for the listed item with a path (a bar row): no menu when the
// listing does not hold exactly that path.
QString InvokeContextMenuForPath(QWidget* owner, const TShellListModel& bar, std::string_view path,
                                 QWidget* control, const QPoint& pos,
                                 const std::function<void()>& rereadAndRebuild);
