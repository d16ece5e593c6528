#pragma once
// Runs a paste on a worker thread while the window stays responsive: after
// a short moment a progress box shows how much is copied and offers Cancel.
// A copy of many gigabytes thus never freezes the window.
#include <functional>
#include <string>

#include "app/shell/FollowedActions.h"
#include "platform/desktop/ItemActions.h"

class QWidget;

// Pastes the items into the folder and returns when done, running the event
// loop meanwhile; the copies made are measured on the same worker thread. A
// successful cut empties the clipboard (its items are no longer where it
// says). Memory running out on the worker makes a failed paste with an
// empty plan.
TFollowedAction RunPaste(QWidget* owner, const cq::desktop::TClipboardItems& items,
                         const std::string& folderNativePath);

// Runs work (which copies and reports to its progress) the same way: on a
// worker thread, with the progress box, while the window repaints but takes
// no clicks or keys, so nothing can change the folders under the copy.
cq::desktop::TActionResult RunWithProgress(
    QWidget* owner,
    const std::function<cq::desktop::TActionResult(cq::desktop::TCopyProgress&)>& work);

// How long a paste may run before its progress box shows, in milliseconds.
constexpr int kPasteProgressDelayMs = 400;
