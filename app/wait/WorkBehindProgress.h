#pragma once
// Work that takes long (reading a scan, copying items) runs on a worker
// thread while the window stays painted behind a progress box: the box
// shows once the work has run for a while, its text follows the work, and
// its Cancel (or Escape) sets the flag the work watches. The call returns
// when the work has ended, whether it finished or stopped for the flag.
#include <QString>
#include <atomic>
#include <functional>

class QWidget;

struct TProgressBox {
    QString Title;
    QString Label;       // the text until Status is first read
    QString ObjectName;  // for finding the box; may stay empty
    // How long the work runs before the box shows, in milliseconds.
    int ShowAfterMs = 400;
    // How often the box reads Status and the cancel flag is set from it.
    int RefreshMs = 100;
    // The box's text while the work runs; none: Label stays.
    std::function<QString()> Status;
    // The share of the work done, 0 to 1000, read with Status; none: the
    // bar only shows that the work goes on (its length is not known).
    std::function<int()> Permille;
    // Keeps clicks, keys and shortcuts away from everything but the box,
    // other windows included; otherwise only the owner's window waits.
    bool OnlyBoxTakesInput = false;
};

// Runs work on a worker thread behind the box, with owner as its parent,
// running the event loop until the work has returned. Cancel is set when
// the user cancels; the work reads it to stop early. An exception that ends
// the work is thrown again from this call, on the caller's thread.
void RunBehindProgress(QWidget* owner, const TProgressBox& options, std::atomic<bool>& cancel,
                       const std::function<void()>& work);
