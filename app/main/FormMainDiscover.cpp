// The main window's side of the Discover panel: where it is docked, what it
// shows, and where its rows lead.
#include <QTreeWidget>

#include "app/discover/DiscoverPanel.h"
#include "app/main/FormMain.h"
#include "app/main/OpenedScan.h"
#include "app/shell/ItemContextMenu.h"
#include "views/bar/PBExListview.h"
#include "views/common/PathText.h"
#include "views/tree/BarShellTreeView.h"
#include "views/tree/ShellListModel.h"

void TFormMain::CreateDiscover() {
    FDiscover = new TDiscoverPanel(this);
    addDockWidget(Qt::BottomDockWidgetArea, FDiscover);
    FDiscover->hide();  // at every start, as nothing of the window is remembered
    FDiscover->OnGoTo = [this](const std::string& path) { GoToItem(path); };
    FDiscover->OnItemMenu = [this](const std::string& path, QWidget* control, QPoint at) {
        GoToItem(path);
        if (FHooks.InvokeContextMenu) {
            const int index = Bar().IndexOfPath(path);
            if (index >= 0)
                FHooks.InvokeContextMenu(index, control, at);
            return;
        }
        InvokeContextMenuForPath(this, Bar(), path, control, at, MenuLinks());
    };
}

void TFormMain::GoToItem(const std::string& path) {
    std::string folder = GetParentDir(path);
    if (folder.find('\\') == std::string::npos)
        folder += '\\';  // a drive's root
    if (Bar().Root() != folder)
        EnterFolder(folder);
    for (int i = 0; i < BarLV->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = BarLV->topLevelItem(i);
        if (RowPath(row) != path)
            continue;
        BarLV->clearSelection();
        BarLV->setCurrentItem(row);
        row->setSelected(true);
        BarLV->scrollToItem(row);
        break;
    }
    if (Tree->isVisible())
        ExpandTree();
}

void TFormMain::ShowDiscoverData() {
    if (!FDiscover)
        return;
    if (ShowsOpenedScan()) {
        FDiscover->SetData(std::make_shared<const TDiscoverData>(FOpened->Result().Discover));
        return;
    }
    FDiscover->SetData(nullptr);
}
