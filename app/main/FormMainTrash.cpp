// The window's Trash and cleanup parts: Analize > "Empty Trash..." and
// "Cleanups...", each with its "?" topic, and the Trash's size on the tool
// bar, measured again when another drive is shown and after every item
// command (the note that follows one) or change of the trash.
#include <QAction>
#include <QMenu>
#include <QToolBar>

#include "app/cleanup/CleanupsDialog.h"
#include "app/main/FormMain.h"
#include "app/main/ItemCommands.h"
#include "app/main/MenuRow.h"
#include "app/shell/ItemContextMenu.h"
#include "app/trash/EmptyTrashDialog.h"
#include "app/trash/TrashGauge.h"
#include "platform/DriveForm.h"

namespace {

QAction* MenuItem(QWidget* owner, const QString& name, const QString& caption,
                  const QString& hint) {
    auto* action = new QAction(caption, owner);
    action->setObjectName(name);
    action->setStatusTip(hint);
    action->setToolTip(hint);
    return action;
}

}  // namespace

void TFormMain::CreateTrashParts() {
    auto topic = [this](const QString& name, const QString& topicName) {
        QAction* help = MenuItem(this, name, "&?", topicName);
        help->setToolTip(QString());
        connect(help, &QAction::triggered, this, [this, topicName] {
            if (FHooks.HelpTopic)
                FHooks.HelpTopic(topicName);
        });
        return help;
    };
    menuAnalize->addSeparator();
    menuEmptyTrash = MenuItem(this, "menuEmptyTrash", "Empty &Trash\u2026",
                              "Restore or delete for good what the Trash of this drive holds.");
    connect(menuEmptyTrash, &QAction::triggered, this, [this] { EmptyTrash(); });
    AddMenuRow(menuAnalize, menuEmptyTrash, topic("menuEmptyTrashHelp", "Html\\Empty_trash.html"));
    menuCleanups = MenuItem(this, "menuCleanups", "&Cleanups\u2026",
                            "Define the cleanup actions the item menu offers.");
    connect(menuCleanups, &QAction::triggered, this, [this] { EditCleanups(); });
    AddMenuRow(menuAnalize, menuCleanups, topic("menuCleanupsHelp", "Html\\Cleanups.html"));

    FTrashGauge = new TTrashGauge(*ToolBar);
    FTrashGauge->Clicked = [this] { EmptyTrash(); };
}

TEmptyTrashDialog* TFormMain::EmptyTrashDialog() {
    const std::string folder = CurrentFolder();
    const char letter = folder.find(':') == std::string::npos ? 0 : DriveLetterOf(folder);
    auto* dialog = new TEmptyTrashDialog(letter, FItems->MenuLinks(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->Changed = [this] { TrashChanged(); };
    return dialog;
}

void TFormMain::EmptyTrash() {
    EmptyTrashDialog()->open();
}

void TFormMain::EditCleanups() {
    TCleanupsDialog dialog(this);
    dialog.exec();
}

void TFormMain::TrashChanged() {
    if (FTrashGauge)
        FTrashGauge->Refresh(CurrentFolder());
}
