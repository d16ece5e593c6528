#pragma once
// Reclaiming duplicate copies off the window's thread: the reclaim runs on
// a worker while the window stays painted and the event loop runs, behind a
// progress box that tells the copies and bytes done and offers Cancel. A
// cancel stops between copies (or during a copy's comparison, before the
// copy is touched): a replacement under way always completes, so every file
// is either replaced whole or untouched.
#include <QString>
#include <vector>

#include "engine/DuplicateReclaim.h"

class QWidget;

// Runs the reclaim of the steps and returns what it did, once the worker
// has ended; the copies a cancel left are counted in NotReached.
TReclaimReport RunReclaimBehindProgress(QWidget* owner, const TDuplicateReclaim& reclaim,
                                        const std::vector<TReclaimStep>& steps);

// The progress box's text: "Reclaiming duplicates: 3 of 10 copies, 12.5 of
// 40.0 MB compared".
QString ReclaimProgressText(const TDuplicateReclaimProgress& progress);
