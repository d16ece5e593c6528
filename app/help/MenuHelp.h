#pragma once

#include <QString>

namespace cq::app {

class THelpManager;

// The help file's path: the folder of the program's executable and
// "Cobaltquarry.chm".
QString ProgramHelpFile();

// What a help item of the menu does with its hint: a topic path asks the
// help manager to show that topic of the application's help file; an empty
// hint opens the whole help file with the shell.
void ShowMenuHelp(THelpManager& manager, const QString& hint);

}  // namespace cq::app
