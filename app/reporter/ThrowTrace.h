#pragma once

#include <QString>

// The call stack of the most recent exception thrown on this thread by the
// program's own code, recorded at the throw (by then the catch has lost it).
// Empty when the exception came from a library that throws by itself.
QString LastThrowTrace();

// Forgets the recorded stack, so a later report does not show a stale one.
void ClearThrowTrace();
