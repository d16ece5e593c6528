#include "app/main/WindowNames.h"

#include <QComboBox>
#include <QToolBar>
#include <QToolButton>
#include <QWidgetAction>

#include "app/main/FormMain.h"
#include "app/main/MenuRow.h"
#include "app/pie/PieHolder.h"
#include "app/shell/ItemPropertiesDialog.h"
#include "views/bar/PBExListview.h"
#include "views/tree/BarShellTreeView.h"

namespace {

// An item's caption as it is read: without the "&" of its mnemonic.
QString Spoken(const QString& caption) {
    QString text = caption;
    return text.remove(QLatin1Char('&')).trimmed();
}

// The tool buttons are named by their hints; the bar view's button has
// none and is named after its view, as the pie's and the tree's are.
void NameToolButtons(TFormMain& form) {
    for (QToolButton* button : form.ToolBar->findChildren<QToolButton*>()) {
        if (!button->accessibleName().isEmpty() || !button->text().isEmpty())
            continue;
        button->setAccessibleName(button->toolTip());
    }
    // The tool bar's own button that shows the tools a narrow window hides.
    if (auto* more = form.ToolBar->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button")))
        more->setAccessibleName(QStringLiteral("More tools"));
    form.tbBar->setAccessibleName(QStringLiteral("Bar view"));
    form.btnDrives->setAccessibleDescription(QStringLiteral("Drive to show"));
}

// A menu row's "?" cell explains the item beside it. The row itself is an
// entry of its menu, which a reader lists before it is opened: it is read
// as its item (a caption without "&" gives the menu no second mnemonic).
void NameMenuCells(TFormMain& form) {
    const QList<QWidgetAction*> rows = form.findChildren<QWidgetAction*>();
    for (TMenuCell* cell : form.findChildren<TMenuCell*>()) {
        const QString caption = Spoken(cell->Action()->text());
        if (caption != QLatin1String("?")) {
            cell->setAccessibleName(caption);
            for (QWidgetAction* row : rows) {
                if (row->defaultWidget() == cell->parentWidget())
                    row->setText(caption);
            }
            continue;
        }
        for (TMenuCell* item : cell->parentWidget()->findChildren<TMenuCell*>()) {
            if (item != cell)
                cell->setAccessibleName(QStringLiteral("Help on ") +
                                        Spoken(item->Action()->text()));
        }
    }
}

}  // namespace

void NameWindowControls(TFormMain& form) {
    NameToolButtons(form);
    NameMenuCells(form);
    form.cbSort->setAccessibleName(QStringLiteral("Sort"));
    form.BarLV->setAccessibleName(QStringLiteral("Bar chart"));
    // The bar column's caption is empty on the screen.
    form.BarLV->headerItem()->setData(3, Qt::AccessibleTextRole, QStringLiteral("Bar"));
    form.Tree->setAccessibleName(QStringLiteral("Folder tree"));
    form.Tree->SetSizeLookup(StoredSizeLookup(form.Store));
    form.pieHolder->setAccessibleName(QStringLiteral("Pie view"));
}
