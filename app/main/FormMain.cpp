#include "app/main/FormMain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QCursor>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <clocale>

#include "app/changes/ChangeView.h"
#include "app/discover/DiscoverPanel.h"
#include "app/drives/DriveSelector.h"
#include "app/drives/FolderEntry.h"
#include "app/help/MenuHelp.h"
#include "app/main/FolderPathLabel.h"
#include "app/main/OpenedScan.h"
#include "app/main/RemoteScanDialog.h"
#include "app/pie/PieControl.h"
#include "app/pie/PieHolder.h"
#include "app/scan/ScanControl.h"
#include "app/shell/ItemContextMenu.h"
#include "app/shell/ItemPropertiesDialog.h"
#include "app/shell/ListedItems.h"
#include "app/shell/ShellEx.h"
#include "app/shell/ShellIcons.h"
#include "platform/FileInfo.h"
#include "views/bar/BarData.h"
#include "views/bar/BarListPainter.h"
#include "views/bar/BarRows.h"
#include "views/bar/PBExListview.h"
#include "views/common/Colors.h"
#include "views/common/PathText.h"
#include "views/common/RandomColor.h"
#include "views/pie/PieData.h"
#include "views/pie/ViewRefresh.h"
#include "views/tree/BarShellTreeView.h"
#include "views/tree/FolderTreeSearch.h"
#include "views/tree/IconCache.h"
#include "views/tree/ShellListModel.h"

namespace {

QColor ToQColor(TColor colour) {
    TColor rgb = ColorToRGB(colour);
    return QColor(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
}

}  // namespace

TFormMain::TFormMain(TFormMainHooks hooks, QWidget* parent)
    : QMainWindow(parent), FHooks(std::move(hooks)) {
    FBar = std::make_unique<TShellListModel>(&TIconCache::System());
    FBar->OnError = [this](const QString& message) { ShowShellError(message); };
    FBarData = std::make_unique<TBarData>(Store, *FBar, FolderChanged);
    FPieData = std::make_unique<TPieData>(Store, *FBar, FolderChanged);
    FRefresh = std::make_unique<TViewRefresh>(Store, *FBarData, *FPieData);

    // The window owns the scan control and the drive selector; they ask it
    // for the current folder and report back through their signals.
    FScan = std::make_unique<TScanControl>(Store, TreeLists, this, *this);
    connect(FScan.get(), &TScanControl::TreeRootChanged, this, &TFormMain::SetTreeRoot);
    connect(FScan.get(), &TScanControl::ListsReloading, this, &TFormMain::SetBarProperties);
    connect(FScan.get(), &TScanControl::ScanEnded, this, &TFormMain::ScanEnded);
    connect(FScan.get(), &TScanControl::SaveStateChanged, this, &TFormMain::ShowSaveState);
    connect(FScan.get(), &TScanControl::StoredSetLoaded, this, &TFormMain::ShowDiscoverData);
    // A rescan the save merged into a newer set on disk: what is stored is
    // shown, its Discover data too.
    connect(FScan.get(), &TScanControl::StoredSetShown, this, [this] {
        SyncTreeBars();
        ShowDiscoverData();
        FolderChanged = true;
        RereadAndRebuild();
    });
    FDrives = std::make_unique<TDriveSelector>(*this);
    connect(FDrives.get(), &TDriveSelector::FolderChosen, this, [this](const std::string& path) {
        LeaveOpenedScan();
        SetFolder(path);
    });
    connect(FDrives.get(), &TDriveSelector::DriveChosen, this, [this] {
        FScan->SetReloadPending();
        Analize(false);
    });
    connect(FDrives.get(), &TDriveSelector::DriveSwitched, this, &TFormMain::UpdateBarPie);
    FOpened = std::make_unique<TOpenedScan>();
    connect(FScan.get(), &TScanControl::ScanningChanged, this, [this](bool scanning) {
        FDrives->SetEnabled(!scanning);
        if (menuOpenScan)
            menuOpenScan->setEnabled(!scanning);
        if (menuOpenRemote)
            menuOpenRemote->setEnabled(!scanning);
    });
    FChanges = std::make_unique<TChangeView>(Store, this);
    connect(FChanges.get(), &TChangeView::RowsChanged, this, [this] { BarToBarlv(); });
    // A set kept after the views were rebuilt may be the one compared with.
    connect(FScan.get(), &TScanControl::HistoryKept, this, [this] {
        if (FChanges->On())
            BarToBarlv();
    });

    setObjectName("FormMain");
    QFont font("MS Sans Serif");
    font.setPointSize(8);
    setFont(font);
    setGeometry(103, 144, 811, 539);
    setWindowTitle("Cobaltquarry");

    CreateActions();
    CreateDiscover();
    CreateMenu();
    CreateToolBar();
    CreateViews();

    FRefresh->BarToBarlv = [this] { BarToBarlv(); };
    FRefresh->PieVisible = [this] { return pieHolder->isVisibleTo(this); };
    FRefresh->SetPieBackground = [this](TColor colour) {
        pieHolder->SetBackground(ToQColor(colour));
    };
    FRefresh->DrawPieMain = [this] { pieHolder->DrawPieMain(); };

    FormCreate();
}

TFormMain::~TFormMain() {
    SetAnalysedSizeLookup({});  // it reads this window's store
    SetDiskUsageLookup({});
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

TItemMenuLinks TFormMain::MenuLinks() {
    TItemMenuLinks links;
    links.rereadAndRebuild = [this] { RereadAndRebuild(); };
    links.store = &Store;
    links.storedChanged = [this] { StoredSetChanged(); };
    links.note = [this](const QString& text) { ShowActionNote(text); };
    return links;
}

void TFormMain::StoredSetChanged() {
    LoadTree();
    ShowDiscoverData();
    ShowSaveState();  // stored now, whatever was not before
}

void TFormMain::ShowSaveState() {
    const bool saving = FScan->Saving();
    // An opened scan is never stored: nothing is said of it.
    const QString text = saving || !ShowsOpenedScan() ? FScan->SaveStateText() : QString();
    if (!SaveState && text.isEmpty())
        return;
    if (!SaveState) {
        // One tool bar item, left of the path, which gives up room first: it
        // is never pushed out of sight by a long path or note. Its parts
        // come and go inside it.
        auto* box = new QWidget(ToolBar);
        box->setObjectName("SaveStateBox");
        auto* layout = new QHBoxLayout(box);
        layout->setContentsMargins(4, 0, 4, 0);
        SaveBusy = new QProgressBar(box);
        SaveBusy->setObjectName("SaveBusy");
        SaveBusy->setRange(0, 0);  // busy, without a share done
        SaveBusy->setTextVisible(false);
        SaveBusy->setFixedSize(48, 12);
        SaveBusy->setAccessibleName("Saving");
        SaveState = new QLabel(box);
        SaveState->setObjectName("SaveState");
        SaveState->setTextFormat(Qt::PlainText);
        layout->addWidget(SaveBusy);
        layout->addWidget(SaveState);
        QAction* path = nullptr;
        for (QAction* action : ToolBar->actions())
            if (ToolBar->widgetForAction(action) == FolderPath)
                path = action;
        ToolBar->insertWidget(path, box);
    }
    SaveState->setText(text);
    SaveState->setToolTip(text.isEmpty() ? QString() : FScan->SaveStateTip());
    SaveState->setVisible(!text.isEmpty());
    SaveBusy->setVisible(saving);
}

void TFormMain::ShowActionNote(const QString& text) {
    if (!ActionNote) {
        ActionNote = new QLabel(ToolBar);
        ActionNote->setObjectName("ActionNote");
        ActionNote->setTextFormat(Qt::PlainText);
        ToolBar->addWidget(ActionNote);
    }
    ActionNote->setText(text);
    ActionNote->setVisible(true);
    FNoteFolder = Bar().Root();
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
    QMessageBox box(QMessageBox::Warning, "Cobaltquarry", message, QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);  // the message may name an item
    box.exec();
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

// --- bar list -----------------------------------------------------------------------

void TFormMain::BarToBarlv() {
    BarLV->setUpdatesEnabled(false);
    try {
        TBarRows::Fill(*BarLV, BarData(), Bar());
    } catch (...) {
        BarLV->setUpdatesEnabled(true);
        throw;
    }
    FChanges->DecorateRows(*BarLV, Bar());
    ShowDiscoverKept();
    if (SizeSort()) {
        acSortSize->trigger();
    }
    if (AZSort()) {
        acSortName->trigger();
    }
    BarLV->setUpdatesEnabled(true);
}

void TFormMain::SetBarProperties() {
    FBarPainter->SetBarProperties();
}

void TFormMain::Barlv1CustomDrawSubItem(QPainter& canvas, QTreeWidgetItem* row, int cellIndex,
                                        bool& defaultDraw) {
    if (BarData().BarDataReady && !Store.GlobalSLSEmpty() &&
        FChanges->DrawCell(canvas, *BarLV, row, cellIndex)) {
        defaultDraw = false;
        return;
    }
    FBarPainter->CustomDrawSubItem(canvas, row, cellIndex, defaultDraw);
}

void TFormMain::DrawBarImage(QPainter& canvas, QTreeWidgetItem* row, int cellIndex) {
    FBarPainter->DrawBarImage(canvas, row, cellIndex);
}

QRect TFormMain::BarRect(QTreeWidgetItem* row, int column, int percent) const {
    return FBarPainter->BarRect(row, column, percent);
}

void TFormMain::DrawWhiteRect(QPainter& canvas, const QRect& r) {
    FBarPainter->DrawWhiteRect(canvas, r);
}

void TFormMain::DrawShadow(QPainter& canvas, const QRect& r) {
    FBarPainter->DrawShadow(canvas, r);
}

void TFormMain::DrawGradientBar(QPainter& canvas, const QRect& r, const QColor& colour) {
    FBarPainter->DrawGradientBar(canvas, r, colour);
}

int TFormMain::LVCustomCompare(QTreeWidgetItem* item1, QTreeWidgetItem* item2) const {
    if (const std::optional<int> order = FChanges->Compare(item1, item2, SortColumn, SortReverse)) {
        return *order;
    }
    return TBarListPainter::Compare(SortColumn, SortReverse, item1, item2);
}

void TFormMain::Barlv1ColumnClick(int column) {
    if (column > 2) {
        return;
    }
    if (column == SortColumn) {
        SortReverse = !SortReverse;
    }
    SortColumn = column;
    BarLV->CustomSort();
}

void TFormMain::acSortSizeExecute() {
    SortColumn = 2;
    BarLV->CustomSort();
}

void TFormMain::acSortNameExecute() {
    SortColumn = 0;
    BarLV->CustomSort();
}

void TFormMain::cbSortChange(int index) {
    if (index == 1) {
        acSortSize->trigger();
    } else if (index == 2) {
        acSortName->trigger();
    }
}

bool TFormMain::SizeSort() const {
    return cbSort->currentText() == "Sort size";
}
bool TFormMain::AZSort() const {
    return cbSort->currentText() == "Sort name";
}

void TFormMain::BarlvEndColumnResize(int, int) {
    update();
    BarLV->viewport()->update();
    cbSort->move(ColumnWidths(), cbSort->y());
    cbSort->raise();
}

int TFormMain::ColumnWidths() const {
    return FBarPainter->ColumnWidths();
}

std::string TFormMain::RowPath(const QTreeWidgetItem* row) {
    return TBarRows::RowPath(row);
}

void TFormMain::BarlvDblClick() {
    QTreeWidgetItem* row = BarLV->currentItem();
    if (BarLV->topLevelItemCount() == 0 || !row || !row->isSelected()) {
        return;
    }
    const std::string path = RowPath(row);
    // A link to a folder is entered, as in the folder tree.
    if (FileExists(path) && !LinkToFolder(Bar(), path)) {
        if (FHooks.ShellEx) {
            FHooks.ShellEx(path);
        } else {
            ::ShellEx(path);
        }
    } else {
        EnterFolder(path);
    }
    if (Tree->isVisible()) {
        ExpandTree();
    }
}

void TFormMain::BarlvMouseDown(Qt::MouseButton button, QPoint at) {
    QTreeWidgetItem* row = BarLV->currentItem();
    if (button != Qt::RightButton || !row || !row->isSelected()) {
        return;
    }
    const std::string path = RowPath(row);
    if (FHooks.InvokeContextMenu) {
        int index = Bar().IndexOfPath(path);
        if (index >= 0) {
            FHooks.InvokeContextMenu(index, BarLV, at);
        }
        return;
    }
    InvokeContextMenuForPath(this, Bar(), path, BarLV, at, MenuLinks());
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
    const bool opened = ShowsOpenedScan() && driveRoot == FOpened->Root();
    // The new nodes are no choice of the user's: with the focus in the tree,
    // its first node would otherwise be entered, leaving the folder the
    // drive change was made for.
    const QSignalBlocker quiet(Tree);
    Tree->SetRoot(driveRoot, opened ? FOpened->RootCaption() : TreeRootCaption(driveRoot),
                  style()->standardIcon(QStyle::SP_DriveHDIcon));
}

// --- a scan from an export file ------------------------------------------------------

void TFormMain::OpenScanFile(const QString& file) {
    const QString chosen = file.isEmpty() ? TOpenedScan::AskForFile(this) : file;
    QString error;
    if (chosen.isEmpty()) {
        return;
    }
    if (!FOpened->Open(chosen, this, error)) {
        TOpenedScan::TellError(this, error);
        return;
    }
    ShowOpenedScan();
}

void TFormMain::OpenRemoteScan(const TRemoteRequest* request) {
    TRemoteRequest asked;
    if (request == nullptr) {
        TRemoteScanDialog dialog(this);
        if (FRemoteAsked)
            dialog.SetRequest(*FRemoteAsked);
        if (dialog.exec() != QDialog::Accepted)
            return;
        asked = dialog.Request();
        FRemoteAsked = std::make_unique<TRemoteRequest>(asked);
        request = &asked;
    }
    QString error;
    if (!FOpened->OpenRemote(*request, this, error)) {
        TOpenedScan::TellError(this, error, QStringLiteral("Open remote scan"));
        return;
    }
    ShowOpenedScan();
}

void TFormMain::SaveScanAs(const QString& file) {
    if (!FOpened->CanSave())
        return;
    const QString chosen = file.isEmpty() ? FOpened->AskForSaveFile(this) : file;
    QString error;
    if (!chosen.isEmpty() && !FOpened->SaveAs(chosen, error))
        TOpenedScan::TellError(this, error, QStringLiteral("Save scan as"));
}

bool TFormMain::ShowsOpenedScan() const {
    return FOpened && FOpened->IsOpen();
}

void TFormMain::ShowOpenedScan() {
    // A save of the lists shown before may still run behind the views: the
    // scan's lists replace them when it ends, without the window waiting.
    FOpened->FillStore(Store, TreeLists, [this] {
        if (!ShowsOpenedScan())
            return;  // closed again before its lists came in
        // Nothing of it is on this machine: no scan, no rescan.
        acDiskAnalize->setEnabled(false);
        acFolderAnalize->setEnabled(false);
        FolderChanged = true;
        SetTreeRoot(FOpened->Root());
        SetFolder(FOpened->Root());
        menuSaveScan->setEnabled(FOpened->CanSave());
        ShowDiscoverData();
    });
}

void TFormMain::LeaveOpenedScan() {
    if (!ShowsOpenedScan()) {
        return;
    }
    FOpened->Close();
    menuSaveScan->setEnabled(false);
    Store.CreateSLs();
    TreeLists = TTreeLists{};
    acDiskAnalize->setEnabled(true);
    acFolderAnalize->setEnabled(true);
    ShowDiscoverData();
}

void TFormMain::ShowWhere() {
    if (ActionNote && Bar().Root() != FNoteFolder)
        ActionNote->clear();
    if (ShowsOpenedScan()) {
        FolderPath->SetText(FOpened->Where(Bar().Root()));
    } else {
        FolderPath->SetPath(Bar().RootFolder().NativePath());
    }
    // Which size the numbers are: said only when it is not the file size.
    if (Store.DiskUsage) {
        FolderPath->SetText(FolderPath->Text() +
                            (Store.DiskUsageKnown()
                                 ? QStringLiteral("  \u2014 disk usage")
                                 : QStringLiteral("  \u2014 disk usage not known until the next "
                                                  "scan")));
    }
    ShowSaveState();
}
