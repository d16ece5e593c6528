#include "app/shell/ItemsMenu.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>

#include "app/shell/CleanupMenu.h"
#include "app/shell/ManyFollowed.h"
#include "app/shell/TrashQuestion.h"
#include "platform/DriveForm.h"
#include "platform/VirtualDrive.h"
#include "platform/desktop/ItemActions.h"
#include "views/common/SpokenText.h"

using namespace cq::desktop;

namespace {

struct TSums {
    std::size_t Files = 0, Folders = 0;
    std::int64_t Bytes = 0;
};

TSums Sums(const TChosenItems& items) {
    TSums sums;
    for (const TChosenItem& item : items) {
        (item.Folder ? sums.Folders : sums.Files) += 1;
        sums.Bytes += item.Size;
    }
    return sums;
}

QString MBText(std::int64_t bytes) {
    return SpokenBytesAsMB(std::to_string(bytes));
}

std::vector<std::string> NativePaths(const TChosenItems& items) {
    std::vector<std::string> paths;
    for (const TChosenItem& item : items)
        if (const auto native = DriveFormToNative(item.Path))
            paths.push_back(*native);
    return paths;
}

void Tell(QWidget* owner, QMessageBox::Icon icon, const QString& title, const QString& text) {
    QMessageBox box(icon, title, text, QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

// The paths as text, one a line, and as one URI list that keeps their bytes.
void PutPathsOnClipboard(const std::vector<std::string>& paths) {
    auto* data = new QMimeData;
    QByteArray uris;
    QStringList lines;
    for (const std::string& path : paths) {
        const std::unique_ptr<QMimeData> one(PathMimeData(path));
        uris += one->data(QStringLiteral("text/uri-list"));
        lines << one->text();
    }
    data->setData(QStringLiteral("text/uri-list"), uris);
    data->setText(lines.join('\n'));
    QGuiApplication::clipboard()->setMimeData(data);
}

void ShowSums(QWidget* owner, const TChosenItems& items) {
    const TSums s = Sums(items);
    Tell(owner, QMessageBox::Information, QStringLiteral("Properties"),
         QStringLiteral("%1 items: %2 files and %3 folders.\nSize: %4 (%5 bytes).")
             .arg(items.size())
             .arg(s.Files)
             .arg(s.Folders)
             .arg(MBText(s.Bytes))
             .arg(s.Bytes));
}

std::optional<TFollowedAction> Trash(QWidget* owner, const TChosenItems& items) {
    if (!AskTrashMany(owner, items))
        return std::nullopt;
    TFollowedAction done = TrashManyFollowed(NativePaths(items));
    if (!done.Result.ok)
        Tell(owner, QMessageBox::Warning, QStringLiteral("Move to Trash"), done.Result.error);
    return done;
}

void AddItemsVerb(QMenu& menu, const QString& text, const QString& verb, bool enabled) {
    QAction* action = menu.addAction(text);
    action->setData(verb);
    action->setEnabled(enabled);
}

}  // namespace

std::optional<TFollowedAction> RunItemsVerb(QWidget* owner, const TChosenItems& chosen,
                                            const QString& verb) {
    const TChosenItems items = OutermostItems(chosen);
    if (verb == ItemVerb::kCopyPaths)
        PutPathsOnClipboard(NativePaths(items));
    else if (verb == ItemVerb::kCut || verb == ItemVerb::kCopy)
        PutItemsOnClipboard(TClipboardItems{verb == ItemVerb::kCut, NativePaths(items)});
    else if (verb == ItemVerb::kDelete)
        return Trash(owner, items);
    else if (verb == ItemVerb::kProperties)
        ShowSums(owner, items);
    return std::nullopt;
}

QString InvokeItemsMenu(QWidget* owner, const TChosenItems& items, QWidget* control,
                        const QPoint& pos, const TItemMenuLinks& links,
                        const std::vector<TItemsMenuEntry>& extra) {
    if (items.empty() || !control)
        return QString();
    // The items of an imported scan are not on this machine.
    const bool here = VirtualDriveFor(items.front().Path) == nullptr;
    QMenu menu(owner);
    AddItemsVerb(menu, QStringLiteral("Copy paths"), ItemVerb::kCopyPaths, here);
    menu.addSeparator();
    AddItemsVerb(menu, QStringLiteral("Cut"), ItemVerb::kCut, here);
    AddItemsVerb(menu, QStringLiteral("Copy"), ItemVerb::kCopy, here);
    menu.addSeparator();
    AddItemsVerb(menu, QStringLiteral("Move to Trash"), ItemVerb::kDelete, here);
    // The cleanup actions that apply to every chosen item, on the outermost
    // ones (a folder's action already covers what lies below it).
    const std::vector<std::string> cleanupPaths =
        here ? NativePaths(OutermostItems(items)) : std::vector<std::string>();
    if (here)
        AddCleanupActions(menu, cleanupPaths);
    if (!extra.empty())
        menu.addSeparator();
    for (std::size_t i = 0; i < extra.size(); ++i)
        AddItemsVerb(menu, extra[i].Text, QStringLiteral("extra:%1").arg(i), here);
    menu.addSeparator();
    AddItemsVerb(menu, QStringLiteral("Properties"), ItemVerb::kProperties, true);
    const QAction* chosen = menu.exec(control->mapToGlobal(pos));
    if (!chosen)
        return QString();
    QString verb = chosen->data().toString();
    if (IsCleanupVerb(verb)) {
        RunCleanupVerb(owner, verb, cleanupPaths, CleanupLinksFor(links, verb));
        return verb;
    }
    std::optional<TFollowedAction> done;
    if (verb.startsWith(QStringLiteral("extra:"))) {
        const TItemsMenuEntry& entry = extra[verb.mid(6).toULongLong()];
        done = entry.Run(owner, OutermostItems(items));
        verb = entry.Text;
    } else {
        done = RunItemsVerb(owner, items, verb);
    }
    if (done) {
        FollowAndNote(links, verb == ItemVerb::kDelete ? ItemVerb::kDelete : QString(), *done);
        if (links.foldersChanged)
            links.foldersChanged(done->Plan.Parents());
        if (links.rereadAndRebuild)
            links.rereadAndRebuild();
    }
    return verb;
}
