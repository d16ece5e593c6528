// The main window's side of the Discover panel: where it is docked, what it
// shows, and where its rows lead.
#include <QComboBox>
#include <QTreeWidget>

#include "app/changes/ChangeView.h"
#include "app/discover/DiscoverPanel.h"
#include "app/main/FormMain.h"
#include "app/main/OpenedScan.h"
#include "app/shell/ItemContextMenu.h"
#include "engine/DiscoverKind.h"
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
    const auto lines = Store.GlobalExtras().find(kDiscoverRole);
    TDiscoverData data;
    std::string error;
    if (lines != Store.GlobalExtras().end() &&
        TDiscoverData::FromLines(lines->second, data, error)) {
        FDiscover->SetData(std::make_shared<const TDiscoverData>(std::move(data)));
        return;
    }
    const bool stored = Store.GlobalDirs().size() > 1 ||
                        (Store.GlobalDirs().size() == 1 && Store.GlobalDirs()[0] != " ");
    FDiscover->SetData(nullptr, stored ? "The largest files and file types of these results are "
                                         "not known: analize the drive again to see them."
                                       : QString());
}

void TFormMain::ShowDiscoverKept() {
    const TExtraLists* kept =
        FChanges->On() && !ShowsOpenedScan() ? FChanges->KeptExtras() : nullptr;
    // Each comparison is made anew (another kept set, new results): its
    // object tells one from the next.
    const void* comparison = kept ? FChanges->Changes() : nullptr;
    if (comparison == FDiscoverKept)
        return;
    FDiscoverKept = comparison;
    if (!kept) {
        FDiscover->SetKeptTypes(nullptr);
        return;
    }
    // Results kept without types (by an earlier version) count every type as new.
    auto types = std::make_shared<TFileTypes>();
    const auto lines = kept->find(kDiscoverRole);
    TDiscoverData data;
    std::string error;
    if (lines != kept->end() && TDiscoverData::FromLines(lines->second, data, error))
        *types = std::move(data.Types);
    // The chooser says "Since <date>"; the panel says "Change since <date>".
    QString since = FChanges->cbSince()->currentText();
    if (since.startsWith("Since "))
        since.remove(0, 6);
    FDiscover->SetKeptTypes(types, since);
}
