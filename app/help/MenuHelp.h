#pragma once

#include <QString>

namespace cq::app {

class THelpManager;

// The help file's path: "Cobaltquarry.chm" beside the program's executable
// (the build tree), else in the installed data folder (ProgramFiles).
QString ProgramHelpFile();

// What a help item of the menu does with its hint: a topic path asks the
// help manager to show that topic of the application's help file; an empty
// hint opens the whole help file at its start page. The program is the
// desktop's handler of its own help file, so its help window shows it; only
// without the help engine does the file go to the desktop's "open".
void ShowMenuHelp(THelpManager& manager, const QString& hint);

}  // namespace cq::app
