#pragma once

#include "app/main/MenuCell.h"

class QAction;
class QMenu;

// Adds a row to a menu: the item on the left and, in the second column, the
// "?" item that explains it. Returns the "?" cell's widget. The menu gets
// the keyboard handling of such rows (see TMenuRowKeys).
TMenuCell* AddMenuRow(QMenu* menu, QAction* item, QAction* help);
