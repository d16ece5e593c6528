#include "app/main/FormMain.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QCursor>
#include <QLocale>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStyle>
#include <QToolButton>
#include <clocale>

#include "app/changes/ChangeView.h"
#include "app/discover/DiscoverPanel.h"
#include "app/drives/DriveSelector.h"
#include "app/drives/FolderEntry.h"
#include "app/find/FindCommand.h"
#include "app/help/MenuHelp.h"
#include "app/main/DiscoverFeed.h"
#include "app/main/ItemCommands.h"
#include "app/main/OpenedScan.h"
#include "app/main/OpenedScanCommands.h"
#include "app/main/SaveStateItem.h"
#include "app/pie/PieHolder.h"
#include "app/scan/ScanControl.h"
#include "app/shell/ItemContextMenu.h"
#include "app/shell/ItemPropertiesDialog.h"
#include "app/shell/ShellIcons.h"
#include "app/trash/TrashGauge.h"
#include "views/bar/BarData.h"
#include "views/bar/BarListPainter.h"
#include "views/bar/PBExListview.h"
#include "views/common/PathText.h"
#include "views/common/RandomColor.h"
#include "views/pie/PieData.h"
#include "views/pie/ViewRefresh.h"
#include "views/tree/BarShellTreeView.h"
#include "views/tree/FolderTreeSearch.h"
#include "views/tree/IconCache.h"
#include "views/tree/ShellListModel.h"

TFormMain::TFormMain(TFormMainHooks hooks, QWidget* parent)
    : QMainWindow(parent), FHooks(std::move(hooks)) {
    FBar = std::make_unique<TShellListModel>(&TIconCache::System());
    FBar->OnError = [this](const QString& message) { ShowShellError(message); };
    FBarData = std::make_unique<TBarData>(Store, *FBar, FolderChanged);
    FPieData = std::make_unique<TPieData>(Store, *FBar, FolderChanged);
    FRefresh = std::make_unique<TViewRefresh>(Store, *FBarData, *FPieData);

    CreateParts();

    setObjectName("FormMain");
    QFont font("MS Sans Serif");
    font.setPointSize(8);
    setFont(font);
    setGeometry(103, 144, 811, 539);
    setWindowTitle("Cobaltquarry");

    CreateActions();
    CreateDiscover();
    CreateFind();
    CreateTreemap();
    CreateMenu();
    CreateToolBar();
    CreateCommandParts();
    CreateTrashParts();
    CreateViews();

    FormCreate();
}

TFormMain::~TFormMain() {
    SetAnalysedSizeLookup({});  // it reads this window's store
    SetDiskUsageLookup({});
    SetDuplicateBytesLookup({});
    SetExclusionLookup({});
}

std::string TFormMain::CurrentFolder() const {
    return FBar->Root();
}

QWidget* TFormMain::Split2() const {
    return Splitter->handle(1);
}

void TFormMain::RereadAndRebuild() {
    pieHolder->RereadAndRebuild();
}

void TFormMain::StoredSetChanged() {
    LoadTree();
    ShowDiscoverData();
    ShowSaveState();  // stored now, whatever was not before
}

TItemMenuLinks TFormMain::ItemLinks() const {
    return FItems->MenuLinks();
}

TFollowBehind TFormMain::FollowBehindLink() {
    return [this](std::function<void(TStoredSet&)> change, std::function<void()> applied,
                  std::function<void(bool, const std::string&)> ended) {
        FScan->FollowChange({std::move(change), std::move(applied), std::move(ended)});
    };
}

void TFormMain::ShowSaveState() {
    const bool saving = FScan->Saving();
    // An opened scan is never stored: nothing is said of it.
    const QString text = saving || !ShowsOpenedScan() ? FScan->SaveStateText() : QString();
    FSaveState->Show(
        text, [this] { return FScan->SaveStateTip(); }, saving);
    SaveState = FSaveState->Label();
    SaveBusy = FSaveState->Busy();
}

void TFormMain::ShowActionNote(const QString& text) {
    ActionNote = FItems->ShowNote(text);
    // A note follows every command that moved something to the trash.
    TrashChanged();
}

// --- start-up, show, close ----------------------------------------------------

void TFormMain::FormCreate() {
    if (FHooks.RunSplash) {
        // The window opens on drive C:; its stored results load behind the
        // start-up picture instead of after it.
        Store.PreloadDrive("C:");
        FHooks.RunSplash([this] { WMStartUp(); });
    } else {
        WMStartUp();
    }
    const QString helpFile = cq::app::ProgramHelpFile();
    if (FHooks.SetHelpFile) {
        FHooks.SetHelpFile(helpFile);
    }
    if (FHooks.CreateAbout) {
        FHooks.CreateAbout();
    }
}

void TFormMain::WMStartUp() {
    Store.CreateSLs();
    BarData().ClearBarSLs();
    PieData().ClearPieSLs();
    ListsFreed = false;

    SortColumn = 2;
    pieHolder->SetZoom(100);
    FolderChanged = true;
    FirstShowPending = true;

    AttachShellIcons(BarLV);
    BarLV->OnCompare = [this](QTreeWidgetItem* a, QTreeWidgetItem* b) {
        return LVCustomCompare(a, b);
    };

    if (!Bar().Root().empty()) {
        FScan->SetLastRoot(Bar().Root());
    }
    // Number texts are written and read with "." whatever the locale.
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale::c());
    setWindowTitle("Cobaltquarry 1.2 ");
    Bar().SetRoot("C:\\");
    SetTreeRoot("C:\\");

    // The selector's frame is clipped away.
    cbSort->setMask(QRegion(cbSort->rect().adjusted(2, 2, -2, -2)));
    cbSort->update();

    FDrives->SetDrivesList();
}

void TFormMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    FormShow();
}

void TFormMain::FormShow() {
    if (!FirstShowPending) {
        return;
    }
    FolderChanged = true;
    if (Analize(false)) {
        return;  // the end of the scan finishes the first show
    }
    FinishFirstShow();
}

void TFormMain::FinishFirstShow() {
    SetBarProperties();
    UpdateBarPie();
    FirstShowPending = false;
    tbBar->setChecked(true);
    Tree->RefreshFrom(Tree->Node(0));
    SetPieHolderSize();
}

void TFormMain::ScanEnded(bool stored) {
    SyncTreeBars();
    if (FirstShowPending) {
        // The first show started a scan instead of drawing the views.
        Bar().Refresh();
        FinishFirstShow();
        return;
    }
    ShowDiscoverData();
    if (stored) {
        // The folder may have changed on disk as well as in the lists: its
        // listing is read again, and the bar list and the pie are rebuilt
        // from both (the pie on its white background).
        FolderChanged = true;
        RereadAndRebuild();
    }
}

void TFormMain::WMPieLabelClick() {
    // The pie holder posts this itself for a label click; the entry point
    // stays for other callers.
    pieHolder->PieMouseDown(Qt::LeftButton, Pie->mapFromGlobal(QCursor::pos()));
}

void TFormMain::tbExitClick() {
    // Ends the message loop at once; the close handler does not run.
    QCoreApplication::exit(0);
}

void TFormMain::closeEvent(QCloseEvent* event) {
    // The results are stored before the window goes: it closes when their
    // save ends.
    if (FScan->ArrangeCloseAfterSave()) {
        event->ignore();
        return;
    }
    // A running scan is stopped before the lists it would fill are freed.
    FScan->CancelAndWait();
    FreeSLs();
    event->accept();
}

void TFormMain::FreeSLs() {
    Store.FreeSLs();
    BarData().ClearBarSLs();
    PieData().ClearPieSLs();
    ListsFreed = true;
}

void TFormMain::ShowShellError(const QString& message) {
    FItems->ShowError(message);
}

// --- navigation and views -------------------------------------------------------

void TFormMain::SetFolder(const std::string& path) {
    if (!Bar().SetRoot(path)) {
        return;
    }
    UpdateBarPie();
}

void TFormMain::EnterFolder(const std::string& path) {
    const TFolderEntry entry = FolderToEnter(path, Bar().Root());
    if (!entry.OtherDrive) {
        SetFolder(entry.Folder);
        return;
    }
    // The drive change rebuilds the tree, whose own signal may have asked
    // for this: it runs once that signal has returned.
    QMetaObject::invokeMethod(
        this, [this, folder = entry.Folder] { FDrives->EnterDriveAt(folder); },
        Qt::QueuedConnection);
}

void TFormMain::acFolderUPExecute() {
    std::string parent = GetParentDir(Bar().Root());
    BarData().BarDataReady = false;
    SetFolder(parent);
}

void TFormMain::acPieSHExecute() {
    pieHolder->setVisible(tbPie->isChecked());
    barHolder->setVisible(tbBar->isChecked());
    if (Store.GlobalSLSEmpty()) {
        Analize(false);
    }
    UpdateBarPie();
}

void TFormMain::acFTreeExecute() {
    Tree->setVisible(tbTree->isChecked());
    if (!Tree->Root().empty()) {
        Bar().SetRoot(Tree->Root());
    }
}

void TFormMain::menuPieClick() {
    tbPie->setChecked(miPieChart->isChecked());
    tbBar->setChecked(miBarChart->isChecked());
    tbTree->setChecked(miFolderTree->isChecked());
    acFTreeExecute();
    // The pie and the bar list follow their items at once, instead of at
    // the next use of the tool buttons.
    acPieSHExecute();
}

bool TFormMain::Analize(bool force) {
    if (ShowsOpenedScan()) {
        return false;  // the scan's folders are not on this machine
    }
    if (FHooks.Analize) {
        return FHooks.Analize(force);
    }
    return FScan->Analize(force);
}

void TFormMain::SyncTreeBars() {
    Tree->SetBarLists(TreeLists.Percents, TreeLists.Dirs);
    Tree->SetShowBarCharts(TreeLists.ShowBarCharts);
    Tree->RemarkExcluded();
}

void TFormMain::UpdateBarPie() {
    Refresh().UpdateBarPie();
}
void TFormMain::UpdateBar() {
    Refresh().UpdateBar();
}
void TFormMain::UpdatePie() {
    Refresh().UpdatePie();
}

void TFormMain::miDiskUsageClick() {
    Store.DiskUsage = miDiskUsage->isChecked();
    FDiscover->SetAllocated(Store.DiskUsage);
    // The tree's bars hold their own copy of the shares.
    if (TreeLists.ShowBarCharts) {
        LoadTree();
    }
    FolderChanged = true;
    FChanges->SizesChanged();
    // The same colours as before the switch: only the numbers change.
    if (!Store.GlobalSLSEmpty()) {
        RepeatColors();
        UpdateBar();
        UpdatePie();
    }
    ShowWhere();
}

void TFormMain::LoadData() {
    Store.LoadData(TreeLists);
    SyncTreeBars();
    ShowDiscoverData();
}

void TFormMain::LoadTree() {
    Store.LoadTree(TreeLists);
    SyncTreeBars();
}

void TFormMain::SetPieHolderSize() {
    pieHolder->SetPieHolderSize();
}

bool TFormMain::eventFilter(QObject* watched, QEvent* event) {
    if (!BarLV) {
        return QMainWindow::eventFilter(watched, event);  // still being built
    }
    if (watched == barHolder && event->type() == QEvent::Resize) {
        // The pie holder keeps itself fitted to the bar holder.
        BarLV->setGeometry(barHolder->rect());
    } else if (watched == BarLV->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* me = static_cast<QMouseEvent*>(event);
        Qt::MouseButton button = me->button();
        QPoint at = BarLV->viewport()->mapTo(BarLV, me->position().toPoint());
        // After the list has selected the row under the mouse.
        QMetaObject::invokeMethod(
            this, [this, button, at] { BarlvMouseDown(button, at); }, Qt::QueuedConnection);
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFormMain::ShowDiscoverData() {
    if (FDiscoverFeed)
        FDiscoverFeed->ShowData(ShowsOpenedScan() ? &FOpened->Scan() : nullptr);
    if (FDiscover)
        ShowStoredDuplicates();
}

void TFormMain::ShowDiscoverKept() {
    FDiscoverFeed->ShowKept(ShowsOpenedScan());
}

// --- folder tree ---------------------------------------------------------------------

void TFormMain::TreeChange(QTreeWidgetItem* node) {
    if (Tree->hasFocus() && node) {
        EnterFolder(TBarShellTreeView::NodePath(node));
    }
}

void TFormMain::TreeEnterKey(const std::string& path) {
    EnterFolder(path);
    // The tree opens along the folder entered; with the focus in the tree,
    // each node it opens would otherwise be entered in turn.
    const QSignalBlocker quiet(Tree);
    ExpandTree();
}

int TFormMain::FolderINTreeSLS(const std::string& path) const {
    return ::FolderINTreeSLS(*Tree, path);
}

void TFormMain::ExpandTree() {
    ExpandTreeTo(*Tree, Bar().Root());
}

void TFormMain::SetTreeRoot(const std::string& driveRoot) {
    // The drive's results have just been (re)loaded into the tree's lists.
    SyncTreeBars();
    if (Tree->Root() == driveRoot) {
        Tree->RefreshFrom(Tree->Node(0));
        return;
    }
    const bool opened = ShowsOpenedScan() && driveRoot == FOpened->Scan().Root();
    // The new nodes are no choice of the user's: with the focus in the tree,
    // its first node would otherwise be entered, leaving the folder the
    // drive change was made for.
    const QSignalBlocker quiet(Tree);
    Tree->SetRoot(driveRoot, opened ? FOpened->Scan().RootCaption() : TreeRootCaption(driveRoot),
                  style()->standardIcon(QStyle::SP_DriveHDIcon));
}

// --- a scan from an export file ------------------------------------------------------

void TFormMain::OpenScanFile(const QString& file) {
    FOpened->OpenScanFile(file);
}

void TFormMain::OpenRemoteScan(const TRemoteRequest* request) {
    FOpened->OpenRemoteScan(request);
}

void TFormMain::SaveScanAs(const QString& file) {
    FOpened->SaveScanAs(file);
}

bool TFormMain::ShowsOpenedScan() const {
    return FOpened && FOpened->Shows();
}

void TFormMain::ShowOpenedScan() {
    FOpened->ShowOpenedScan();
}

void TFormMain::LeaveOpenedScan() {
    FOpened->LeaveOpenedScan();
}

void TFormMain::ShowWhere() {
    FItems->FolderShown(Bar().Root());
    if (FTrashGauge)
        FTrashGauge->FolderShown(Bar().Root());
    FOpened->ShowWhere();
    ShowSaveState();
}

// The meta-object code is compiled with this file rather than on its own.
#include "moc_FormMain.cpp"
