#pragma once
// The item menu for several chosen items at once: Copy path, Cut, Copy,
// Move to Trash and Properties act on all of them; entries other parts
// of the window add (TItemsMenuEntry) follow. A move to the trash asks once,
// naming the count and the total size, and what it did to the drive is
// followed in the stored analysis as one change (FollowAndNote), so the
// numbers follow every item in one store update. A chosen item below a
// chosen folder goes with that folder.
#include <QPoint>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "app/shell/ChosenItems.h"
#include "app/shell/ItemContextMenu.h"

class QWidget;

namespace ItemVerb {
// Properties of many items: their count and sums.
inline const QString kCopyPaths = QStringLiteral("copypaths");
}  // namespace ItemVerb

// An entry another part adds to the menu of many items: its text and what
// it does with the chosen items (the outermost ones). What it returns, when
// it changed the drive, is followed as a menu command's is.
struct TItemsMenuEntry {
    QString Text;
    std::function<std::optional<TFollowedAction>(QWidget* owner, const TChosenItems& items)> Run;
};

// Carries out one verb on the items, asking first where the verb asks;
// returns what a command that changed the drive did.
std::optional<TFollowedAction> RunItemsVerb(QWidget* owner, const TChosenItems& items,
                                            const QString& verb);

// Shows the menu at pos of control, runs the choice, follows it in the
// store (links, as for one item) and rebuilds the views after a change.
// Returns the verb (or the entry's text) chosen; empty when none was.
QString InvokeItemsMenu(QWidget* owner, const TChosenItems& items, QWidget* control,
                        const QPoint& pos, const TItemMenuLinks& links,
                        const std::vector<TItemsMenuEntry>& extra = {});
