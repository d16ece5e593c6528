#include "app/shell/ItemContextMenu.h"

#include <QAction>
#include <QFile>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>

#include "app/shell/CleanupMenu.h"
#include "app/shell/ItemPropertiesDialog.h"
#include "app/shell/ListedItems.h"
#include "app/shell/PasteRunner.h"
#include "app/shell/ShellEx.h"
#include "app/shell/TrashQuestion.h"
#include "engine/ResultStore.h"
#include "platform/NameText.h"
#include "platform/VirtualDrive.h"
#include "platform/desktop/ItemActions.h"
#include "views/tree/ShellFolder.h"

using namespace cq::desktop;

namespace {

void AddVerb(QMenu* menu, const QString& text, const QString& verb, bool enabled = true) {
    QAction* action = menu->addAction(text);
    action->setData(verb);
    action->setEnabled(enabled);
}

// Names go into these texts; a name is never read as markup.
void TellFailure(QWidget* owner, const QString& title, const TActionResult& result) {
    if (result.ok)
        return;
    QMessageBox box(QMessageBox::Warning, title, result.error, QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

QString Shown(const TShellFolder& item) {
    return VisibleControls(item.DisplayName());
}

bool ConfirmTrash(QWidget* owner, const TShellFolder& item) {
    return AskTrashOne(owner, Shown(item), item.IsFolder());
}

// A command that failed is told; what it did before failing is followed
// all the same.
std::optional<TFollowedAction> WithFailureTold(QWidget* owner, const QString& title,
                                               TFollowedAction done) {
    TellFailure(owner, title, done.Result);
    return done;
}

std::optional<TFollowedAction> Rename(QWidget* owner, const TShellFolder& item) {
    QInputDialog dialog(owner);
    dialog.setWindowTitle(QStringLiteral("Rename"));
    dialog.setLabelText(QStringLiteral("New name for \"%1\":").arg(Shown(item)));
    for (QLabel* label : dialog.findChildren<QLabel*>())
        label->setTextFormat(Qt::PlainText);
    dialog.setTextValue(item.DisplayName());
    if (dialog.exec() != QDialog::Accepted || dialog.textValue() == item.DisplayName())
        return std::nullopt;
    return WithFailureTold(owner, QStringLiteral("Rename"),
                           RenameFollowed(item.NativePath(), dialog.textValue()));
}

// The note after a command: what a move to the trash moved, and why the
// stored results were not updated when their save failed.
QString CommandNote(bool trashed, std::optional<std::int64_t> moved, const std::string* saveError) {
    QString note = trashed ? TrashedNote(moved) : QString();
    if (saveError != nullptr)
        note += (note.isEmpty() ? QString() : QStringLiteral(". ")) +
                QStringLiteral("The stored results were not updated: %1")
                    .arg(QString::fromStdString(*saveError));
    return note;
}

void Note(const TItemMenuLinks& links, const QString& text) {
    if (!text.isEmpty() && links.note)
        links.note(text);
}

// The change is made and stored behind the views (after a save that runs);
// the views show it, and the note after a move to the trash comes, when the
// lists have it; a save that failed is told then too.
void FollowBehind(const TItemMenuLinks& links, const QString& verb, const TFollowedAction& done) {
    auto moved = std::make_shared<std::optional<std::int64_t>>();
    const bool trashed = verb == ItemVerb::kDelete && done.Result.ok;
    links.followBehind(
        FollowChange(done.Plan, moved),
        [links, moved, trashed] {
            if (links.storedChanged)
                links.storedChanged();
            // The listing was rebuilt after the command; its numbers now.
            if (links.rereadAndRebuild)
                links.rereadAndRebuild();
            Note(links, CommandNote(trashed, *moved, nullptr));
        },
        [links, moved, trashed](bool stored, const std::string& error) {
            if (!stored)
                Note(links, CommandNote(trashed, *moved, &error));
        });
}

}  // namespace

void FollowAndNote(const TItemMenuLinks& links, const QString& verb, const TFollowedAction& done) {
    if (links.store && links.followBehind && PlanTouchesStore(*links.store, done.Plan)) {
        FollowBehind(links, verb, done);
        return;
    }
    std::optional<std::int64_t> moved;
    const TStoreFollow followed = links.store && !links.followBehind
                                      ? FollowInStore(*links.store, done.Plan, moved)
                                      : TStoreFollow::Untouched;
    if (followed == TStoreFollow::Stored && links.storedChanged)
        links.storedChanged();
    Note(links,
         CommandNote(verb == ItemVerb::kDelete && done.Result.ok,
                     followed == TStoreFollow::Stored ? moved : std::nullopt,
                     followed == TStoreFollow::NotStored ? &links.store->SaveError : nullptr));
}

bool IsRefreshVerb(const QString& verb) {
    return verb.compare(ItemVerb::kDelete, Qt::CaseInsensitive) == 0 ||
           verb.compare(ItemVerb::kPaste, Qt::CaseInsensitive) == 0 ||
           verb.compare(ItemVerb::kRename, Qt::CaseInsensitive) == 0;
}

std::unique_ptr<QMenu> BuildItemMenu(const TShellFolder& item, QWidget* parent) {
    auto menu = std::make_unique<QMenu>(parent);
    // The items of an imported scan are not on this machine: only their
    // properties can be shown.
    const bool here = VirtualDriveFor(item.PathName()) == nullptr;
    AddVerb(menu.get(), QStringLiteral("Open"), ItemVerb::kOpen, here);
    AddVerb(menu.get(), QStringLiteral("Copy path"), ItemVerb::kCopyPath, here);
    menu->addSeparator();
    AddVerb(menu.get(), QStringLiteral("Cut"), ItemVerb::kCut, here);
    AddVerb(menu.get(), QStringLiteral("Copy"), ItemVerb::kCopy, here);
    AddVerb(menu.get(), QStringLiteral("Paste"), ItemVerb::kPaste,
            here && item.IsFolder() && !ClipboardItems().paths.empty());
    menu->addSeparator();
    AddVerb(menu.get(), QStringLiteral("Rename\u2026"), ItemVerb::kRename, here);
    AddVerb(menu.get(), QStringLiteral("Move to Trash"), ItemVerb::kDelete, here);
    menu->addSeparator();
    AddVerb(menu.get(), QStringLiteral("Properties"), ItemVerb::kProperties);
    // The chosen items: one here; a menu of many hands them all.
    if (here)
        AddCleanupActions(*menu, {item.NativePath()});
    return menu;
}

std::optional<TFollowedAction> RunItemVerb(QWidget* owner, const TShellFolder& item,
                                           const QString& verb) {
    if (verb == ItemVerb::kOpen) {
        ShellEx(item.NativePath());
    } else if (verb == ItemVerb::kCopyPath) {
        PutPathOnClipboard(item.NativePath());
    } else if (verb == ItemVerb::kCut || verb == ItemVerb::kCopy) {
        PutItemsOnClipboard(TClipboardItems{verb == ItemVerb::kCut, {item.NativePath()}});
    } else if (verb == ItemVerb::kPaste) {
        return WithFailureTold(owner, QStringLiteral("Paste"),
                               RunPaste(owner, ClipboardItems(), item.NativePath()));
    } else if (verb == ItemVerb::kRename) {
        return Rename(owner, item);
    } else if (verb == ItemVerb::kDelete) {
        if (ConfirmTrash(owner, item))
            return WithFailureTold(owner, QStringLiteral("Move to Trash"),
                                   TrashFollowed(item.NativePath()));
    } else if (verb == ItemVerb::kProperties) {
        ShowItemProperties(owner, item);
    }
    return std::nullopt;
}

TCleanupLinks CleanupLinksFor(const TItemMenuLinks& links, const QString& verb) {
    TCleanupLinks followed;
    followed.followed = [links, verb](const TFollowedAction& done) {
        if (!done.Plan.Empty()) {
            FollowAndNote(links, verb, done);
            if (links.foldersChanged)
                links.foldersChanged(done.Plan.Parents());
        }
        if (links.rereadAndRebuild)
            links.rereadAndRebuild();
    };
    followed.note = links.note;
    return followed;
}

QString InvokeContextMenuIMP(QWidget* owner, const TShellFolder* item, QWidget* control,
                             const QPoint& pos, const std::function<void()>& rereadAndRebuild) {
    TItemMenuLinks links;
    links.rereadAndRebuild = rereadAndRebuild;
    return InvokeContextMenuIMP(owner, item, control, pos, links);
}

QString InvokeContextMenuIMP(QWidget* owner, const TShellFolder* item, QWidget* control,
                             const QPoint& pos, const TItemMenuLinks& links) {
    if (!item || !control)
        return QString();
    // The listing may be re-read while the command runs; keep the item.
    const TShellFolder chosenItem = *item;
    const auto menu = BuildItemMenu(chosenItem, owner);
    const QAction* chosen = menu->exec(control->mapToGlobal(pos));
    if (!chosen)
        return QString();
    const QString verb = chosen->data().toString();
    if (IsCleanupVerb(verb)) {
        RunCleanupVerb(owner, verb, {chosenItem.NativePath()}, CleanupLinksFor(links, verb));
        return verb;
    }
    if (const std::optional<TFollowedAction> done = RunItemVerb(owner, chosenItem, verb)) {
        FollowAndNote(links, verb, *done);
        if (links.foldersChanged)
            links.foldersChanged(done->Plan.Parents());
    }
    if (IsRefreshVerb(verb) && links.rereadAndRebuild)
        links.rereadAndRebuild();
    return verb;
}

QString InvokeContextMenuForPath(QWidget* owner, const TShellListModel& bar, std::string_view path,
                                 QWidget* control, const QPoint& pos,
                                 const std::function<void()>& rereadAndRebuild) {
    return InvokeContextMenuIMP(owner, PathToTShellFolder(bar, path), control, pos,
                                rereadAndRebuild);
}

QString InvokeContextMenuForPath(QWidget* owner, const TShellListModel& bar, std::string_view path,
                                 QWidget* control, const QPoint& pos, const TItemMenuLinks& links) {
    return InvokeContextMenuIMP(owner, PathToTShellFolder(bar, path), control, pos, links);
}
