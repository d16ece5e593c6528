#include "app/main/MenuRow.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMenu>
#include <QWidgetAction>

#include "app/main/MenuRowKeys.h"

TMenuCell* AddMenuRow(QMenu* menu, QAction* item, QAction* help) {
    auto* row = new QWidget(menu);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* left = new TMenuCell(item, row);
    auto* right = new TMenuCell(help, row);
    left->setObjectName(item->objectName() + "Cell");
    right->setObjectName(help->objectName() + "Cell");
    layout->addWidget(left, 1);
    layout->addWidget(right, 0);
    // A row the menu selects from the keyboard hands the focus to its item.
    row->setFocusPolicy(Qt::StrongFocus);
    row->setFocusProxy(left);
    auto* action = new QWidgetAction(menu);
    action->setDefaultWidget(row);
    menu->addAction(action);
    TMenuRowKeys::Of(menu)->AddRow(action, left, right);
    return right;
}
