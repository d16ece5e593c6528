#include "app/main/ItemCommands.h"

#include <QLabel>
#include <QMessageBox>
#include <QToolBar>

#include "app/shell/ItemContextMenu.h"
#include "app/shell/ListedItems.h"
#include "app/shell/ShellEx.h"
#include "engine/ResultStore.h"
#include "engine/StoredListText.h"
#include "platform/FileInfo.h"
#include "views/tree/ListedFolderLookup.h"
#include "views/tree/ShellFolder.h"
#include "views/tree/ShellListModel.h"

TItemCommands::TItemCommands(QWidget* owner, QToolBar& noteBar, TResultStore& store,
                             const TShellListModel& bar, const TMenuHook& menuHook,
                             const TOpenHook& openHook)
    : owner_(owner),
      noteBar_(noteBar),
      store_(store),
      bar_(bar),
      menuHook_(menuHook),
      openHook_(openHook) {}

TItemMenuLinks TItemCommands::MenuLinks() {
    TItemMenuLinks links;
    links.rereadAndRebuild = RereadAndRebuild;
    links.store = &store_;
    links.storedChanged = StoredSetChanged;
    links.followBehind = FollowBehind;
    links.note = ShowActionNote;
    links.foldersChanged = TreeFoldersChanged;
    return links;
}

void TItemCommands::OpenMenu(const std::string& path, QWidget* control, QPoint at) {
    if (menuHook_) {
        const int index = bar_.IndexOfPath(path);
        if (index >= 0)
            menuHook_(index, control, at);
        return;
    }
    InvokeContextMenuForPath(owner_, bar_, path, control, at, MenuLinks());
}

void TItemCommands::OpenItemsMenu(const TChosenItems& items, QWidget* control, QPoint at) {
    InvokeItemsMenu(owner_, items, control, at, MenuLinks(), ItemsEntries);
}

TChosenItems TItemCommands::ChosenListed(const std::vector<std::string>& paths) const {
    TChosenItems items;
    for (const std::string& path : paths) {
        const TShellFolder* listed = PathToTShellFolder(bar_, path);
        if (!listed)
            continue;
        TChosenItem item{path, listed->IsFolder(), listed->Size()};
        if (item.Folder) {
            const int at = FindListedFolder(store_.GlobalDirs(), path);
            item.Size = at < 0 ? 0 : StoredSizeOf(store_.GlobalDirSizes()[at]);
        }
        items.push_back(std::move(item));
    }
    return items;
}

bool TItemCommands::OpenFile(const std::string& path) {
    // A link to a folder is entered, as in the folder tree.
    if (!FileExists(path) || LinkToFolder(bar_, path))
        return false;
    if (openHook_)
        openHook_(path);
    else
        ShellEx(path);
    return true;
}

QLabel* TItemCommands::ShowNote(const QString& text) {
    if (!note_) {
        note_ = new QLabel(&noteBar_);
        note_->setObjectName("ActionNote");
        note_->setTextFormat(Qt::PlainText);
        noteBar_.addWidget(note_);
    }
    note_->setText(text);
    note_->setVisible(true);
    noteFolder_ = bar_.Root();
    return note_;
}

void TItemCommands::FolderShown(const std::string& folder) {
    if (note_ && folder != noteFolder_)
        note_->clear();
}

void TItemCommands::ShowError(const QString& message) {
    QMessageBox box(QMessageBox::Warning, "Cobaltquarry", message, QMessageBox::Ok, owner_);
    box.setTextFormat(Qt::PlainText);  // the message may name an item
    box.exec();
}
