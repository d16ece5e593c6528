#pragma once
// The cleanup actions in the item menu: each enabled action that applies to
// every chosen item (files, folders or both) is an entry of the menu, with
// the verb "cleanup:N" (N its place in the stored list). Running one asks
// first when the action says so, runs it on each item in an output window
// and, when the action says so, measures again what it changed (the item's
// folder or the one above) through the stored analysis's item-command path,
// as a folder that was deleted and appeared again.
//
// The items are native paths, so that a menu of many chosen items can hand
// them all; a menu of one item hands one.
#include <QString>
#include <functional>
#include <string>
#include <vector>

class QMenu;
class QWidget;
struct TFollowedAction;
class TCleanupOutputWindow;

bool IsCleanupVerb(const QString& verb);

// Adds the entries (after a separator) when any applies; the stored
// actions are read each time, so a change in "Cleanups..." shows at once.
void AddCleanupActions(QMenu& menu, const std::vector<std::string>& paths);

// What the menu does once the action has ended: follow what measuring
// again did (an empty plan when nothing was measured) and rebuild the
// views; note tells what the user should know (a drive's top folder that
// was not measured).
struct TCleanupLinks {
    std::function<void(const TFollowedAction& remeasured)> followed;
    std::function<void(const QString&)> note;
};

// Runs the verb's action on the items. Returns the output window (owned by
// owner, deleted when closed), or null when the user declined, nothing
// applies or the stored actions changed since the menu was built.
TCleanupOutputWindow* RunCleanupVerb(QWidget* owner, const QString& verb,
                                     const std::vector<std::string>& paths, TCleanupLinks links);
