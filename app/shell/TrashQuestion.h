#pragma once
// The questions before items go to the Trash, asked alike wherever the
// items were chosen (the item menu of one item or of many, the duplicate
// copies to reclaim): a warning with Yes and No, No the default, the
// names shown as plain text. Many items are told by their count and total
// size.
#include <QString>

#include "app/shell/ChosenItems.h"

class QWidget;

// One item, by its name as the window shows it.
bool AskTrashOne(QWidget* owner, const QString& shownName, bool folder);
// Many items; the sizes of items are added up as they are given.
bool AskTrashMany(QWidget* owner, const TChosenItems& items);
