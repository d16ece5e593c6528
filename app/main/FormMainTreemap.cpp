// The window's treemap panel: made hidden with the other docks, linked to
// the bar list, the folder tree and the item commands, and drawn again
// whenever the bar list's rows are.
#include <QTreeWidget>

#include "app/changes/ChangeView.h"
#include "app/main/FormMain.h"
#include "app/main/ItemCommands.h"
#include "app/main/OpenedScan.h"
#include "app/main/OpenedScanCommands.h"
#include "app/shell/ItemContextMenu.h"
#include "app/treemap/TreeFolderChoice.h"
#include "app/treemap/TreemapPanel.h"
#include "app/treemap/TreemapView.h"
#include "views/bar/BarRows.h"
#include "views/bar/PBExListview.h"
#include "views/common/PathText.h"
#include "views/tree/BarShellTreeView.h"
#include "views/tree/ShellListModel.h"
#include "views/treemap/TreemapViewsFeed.h"

void TFormMain::CreateTreemap() {
    FTreemap = new TTreemapPanel(this);
    addDockWidget(Qt::RightDockWidgetArea, FTreemap);
    FTreemap->hide();  // at every start, as nothing of the window is remembered
    TTreemapView* view = FTreemap->View();
    TTreemapView::TLinks links;
    links.Store = &Store;
    links.Listing = FBar.get();
    links.Bar = FBarData.get();
    links.LargestFiles = [this] {
        return ShowsOpenedScan() ? FOpened->Scan().Result().Discover.Largest
                                 : StoredLargestFiles(Store);
    };
    links.ScanItems = [this]() -> std::shared_ptr<const TImportedTree> {
        return ShowsOpenedScan() ? FOpened->Scan().Items() : nullptr;
    };
    links.Changes = [this]() -> const TResultChanges* {
        return FChanges->On() ? FChanges->Changes() : nullptr;
    };
    view->SetLinks(std::move(links));
    view->OnChosen = [this](const std::string&, const std::string& folder, const std::string& row) {
        TreemapChosen(folder, row);
    };
    // Entering rebuilds the views, so it runs after the click has been handled.
    view->OnOpen = [this](const std::string& path) {
        QMetaObject::invokeMethod(
            this,
            [this, path] {
                if (!FItems->OpenFile(path))
                    EnterFolder(path);
                if (Tree->isVisible())
                    ExpandTree();
            },
            Qt::QueuedConnection);
    };
    view->OnItemMenu = [this, view](const std::string& path, QPoint at) {
        TreemapItemMenu(path, view, at);
    };
    view->OnItemsMenu = [this, view](const std::vector<int>& tiles, QPoint at) {
        // A tile of a folder's files stands for its folder, as its menu does.
        TChosenItems chosen;
        for (const int tile : tiles) {
            const TTreemapTile& t = view->Layout().Tile(tile);
            chosen.push_back({view->TilePathOf(tile), t.Item.Kind != TTileKind::File, t.Item.Size});
        }
        FItems->OpenItemsMenu(chosen, view, at);
    };
    // Shown the first time, the panel takes a good part of the window
    // rather than the least it can be.
    connect(FTreemap, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        static constexpr int kShareOfWindow = 40;  // per cent
        if (visible && !FTreemap->property("sized").toBool()) {
            FTreemap->setProperty("sized", true);
            resizeDocks({FTreemap}, {width() * kShareOfWindow / 100}, Qt::Horizontal);
        }
    });
}

void TFormMain::TreemapItemMenu(const std::string& path, QWidget* control, QPoint at) {
    std::string folder = GetParentDir(path);
    if (folder.find('\\') == std::string::npos)
        folder += '\\';  // a drive's root
    if (folder == Bar().Root()) {
        FItems->OpenMenu(path, control, at);
        return;
    }
    // A tile further down: the menu of the item in its own folder's
    // listing, with the same links as the bar list's menu.
    TShellListModel listing;
    if (listing.SetRoot(folder))
        InvokeContextMenuForPath(this, listing, path, control, at, ItemLinks());
}

void TFormMain::LinkTreemapToBarList() {
    // The rows chosen in the list are the tiles chosen in the treemap: one
    // or, with Ctrl, several (the current row last).
    connect(BarLV, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (!FTreemap->isVisible())
            return;
        QTreeWidgetItem* current = BarLV->currentItem();
        std::vector<std::string> paths;
        for (const QTreeWidgetItem* row : BarLV->selectedItems())
            if (row != current)
                paths.push_back(RowPath(row));
        if (current && current->isSelected())
            paths.push_back(RowPath(current));
        FTreemap->View()->ChoosePaths(paths);
    });
}

void TFormMain::TreemapFollows() {
    if (FTreemap)
        FTreemap->View()->Refresh();
}

void TFormMain::TreemapChosen(const std::string& folder, const std::string& row) {
    {
        // The row follows the tile, not the tile the row: a deeper tile
        // stays chosen.
        const QSignalBlocker quiet(BarLV);
        TBarRows::Select(*BarLV, row);
    }
    if (Tree->isVisible())
        ChooseTreeFolder(*Tree, folder);
}
