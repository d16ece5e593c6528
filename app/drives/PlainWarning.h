#pragma once
// A warning message box whose text is shown exactly as it is: the texts name
// drives, folders and files, and a name may hold "<", "&" or anything else
// that a box guessing at rich text would read as markup.
#include <QString>

class QWidget;

// Shows text in a modal warning box with an OK button and an empty title.
void ShowPlainWarning(QWidget* parent, const QString& text);
