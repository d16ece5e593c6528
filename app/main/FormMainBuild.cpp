// The window's controls and commands, built once by the constructor: the
// commands, the main menu, the tool bar, the folder tree, the bar list with
// its sort selector, and the pie holder; and the parts that do the work
// behind them, linked to the window.
#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/changes/ChangeView.h"
#include "app/discover/DiscoverPanel.h"
#include "app/drives/DriveSelector.h"
#include "app/find/FindCommand.h"
#include "app/main/DiscoverFeed.h"
#include "app/main/FolderPathLabel.h"
#include "app/main/FormMain.h"
#include "app/main/ItemCommands.h"
#include "app/main/MenuRow.h"
#include "app/main/OpenedScanCommands.h"
#include "app/main/SaveStateItem.h"
#include "app/main/ToolIcons.h"
#include "app/main/WindowNames.h"
#include "app/pie/PieControl.h"
#include "app/pie/PieHolder.h"
#include "app/scan/ScanControl.h"
#include "app/shell/ItemPropertiesDialog.h"
#include "app/treemap/TreemapPanel.h"
#include "views/bar/BarListPainter.h"
#include "views/bar/PBExListview.h"
#include "views/common/Colors.h"
#include "views/pie/ViewRefresh.h"
#include "views/tree/BarShellTreeView.h"
#include "views/tree/IconCache.h"
#include "views/tree/ShellListModel.h"

namespace {

QToolButton* ToolButton(QToolBar* bar, const QString& name, const QIcon& icon,
                        const QString& hint) {
    auto* button = new QToolButton(bar);
    button->setObjectName(name);
    button->setIcon(icon);
    button->setToolTip(hint);
    button->setAutoRaise(true);
    button->setFixedWidth(25);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    bar->addWidget(button);
    return button;
}

void Separator(QToolBar* bar) {
    auto* gap = new QWidget(bar);
    gap->setFixedWidth(8);
    bar->addWidget(gap);
}

QColor ToQColor(TColor colour) {
    TColor rgb = ColorToRGB(colour);
    return QColor(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
}

QFont NamedFont(const QString& family, int points) {
    QFont font(family);
    font.setPointSize(points);
    return font;
}

// The folder tree lists the folders (hidden ones too) of a folder through
// the same listing the current folder uses.
std::vector<TTreeFolder> ListTreeFolders(const std::string& path) {
    std::vector<TTreeFolder> folders;
    TShellListModel listing(&TIconCache::System());
    if (!listing.SetRoot(path)) {
        return folders;
    }
    for (const TShellFolder& item : listing.Items()) {
        if (item.IsFolder()) {
            folders.push_back({item.PathName(), item.DisplayName(),
                               TIconCache::System().Icon(item.ImageIndex())});
        }
    }
    return folders;
}

}  // namespace

// --- construction -------------------------------------------------------------

void TFormMain::CreateActions() {
    auto make = [this](const QString& name, const QString& caption, const QString& hint) {
        auto* action = new QAction(caption, this);
        action->setObjectName(name);
        action->setToolTip(hint.isEmpty() ? caption : hint);
        action->setStatusTip(hint);
        return action;
    };
    acFolderUP = make("acFolderUP", "Folder up", "Folder up");
    acFolderUP->setIcon(ToolIcon(TToolIcon::FolderUp));
    acFolderUP->setShortcut(Qt::Key_Backspace);
    connect(acFolderUP, &QAction::triggered, this, [this] { acFolderUPExecute(); });

    // The scan commands are the scan control's. Their keys (and those of
    // the pie and tree actions) belong to the menu items that carry them
    // too: a key on both would be ambiguous and reach neither.
    acDiskAnalize = FScan->acDiskAnalize();
    acDiskAnalize->setIcon(ToolIcon(TToolIcon::DiskAnalize));
    acFolderAnalize = FScan->acFolderAnalize();
    acFolderAnalize->setIcon(ToolIcon(TToolIcon::FolderAnalize));
    acPieSH = make("acPieSH", "Pie view", "Pie view");
    connect(acPieSH, &QAction::triggered, this, [this] { acPieSHExecute(); });
    acFTree = make("acFTree", "Folder tree", "Folder tree");
    connect(acFTree, &QAction::triggered, this, [this] { acFTreeExecute(); });

    acSortSize = make("acSortSize", "Sort by size", "");
    connect(acSortSize, &QAction::triggered, this, [this] { acSortSizeExecute(); });
    acSortName = make("acSortName", "Sort by name", "");
    connect(acSortName, &QAction::triggered, this, [this] { acSortNameExecute(); });
    acExit = make("acExit", "Exit", "Exit Cobaltquarry");
    acExit->setIcon(ToolIcon(TToolIcon::Exit));
    connect(acExit, &QAction::triggered, this, [this] { tbExitClick(); });

    acFolderUP->setShortcutContext(Qt::WindowShortcut);
    addAction(acFolderUP);
}

void TFormMain::CreateMenu() {
    auto item = [this](const QString& name, const QString& caption, const QString& hint,
                       const QKeySequence& key = {}) {
        auto* action = new QAction(caption, this);
        action->setObjectName(name);
        action->setStatusTip(hint);
        action->setToolTip(hint);
        if (!key.isEmpty()) {
            action->setShortcut(key);
            action->setShortcutContext(Qt::WindowShortcut);
            // The items stand in rows of two columns, so the window itself
            // holds their keys.
            addAction(action);
        }
        return action;
    };
    auto topic = [this, &item](const QString& name, const QString& topicName) {
        // The topic is the item's hint, not something to show the user.
        QAction* help = item(name, "&?", topicName);
        help->setToolTip(QString());
        connect(help, &QAction::triggered, this, [this, topicName] {
            if (FHooks.HelpTopic) {
                FHooks.HelpTopic(topicName);
            }
        });
        return help;
    };

    QMenuBar* bar = menuBar();
    bar->setObjectName("mainMenu");

    menuAnalize = bar->addMenu("&Analize");
    menuAnalize->setObjectName("menuAnalize");
    menuAnalize->menuAction()->setStatusTip("Analize entire disk or rescan folder.");
    menuAnalize->setToolTipsVisible(true);
    menuDisk =
        item("menuDisk", "&Disk", "Click to start analizing disk drive.", QKeySequence("Ctrl+D"));
    menuFolder = item("menuFolder", "&Folder", "Click to rescan folder.", QKeySequence("Ctrl+F"));
    connect(menuDisk, &QAction::triggered, this, [this] {
        if (acDiskAnalize->isEnabled()) {
            Analize(true);
        }
    });
    connect(acDiskAnalize, &QAction::enabledChanged, menuDisk, &QAction::setEnabled);
    connect(acFolderAnalize, &QAction::enabledChanged, menuFolder, &QAction::setEnabled);
    connect(menuFolder, &QAction::triggered, acFolderAnalize, &QAction::trigger);
    AddMenuRow(menuAnalize, menuDisk, topic("menuDiskHelp", "Html\\Analize_disk.html"));
    AddMenuRow(menuAnalize, menuFolder, topic("menuFolderHelp", "Html\\Analize_folder.html"));
    // Ctrl+F is "Folder"; the find takes the same key with Shift.
    menuFind = item("menuFind", "F&ind\u2026",
                    "Find files and folders of the drive by name, size and age.",
                    QKeySequence("Ctrl+Shift+F"));
    connect(menuFind, &QAction::triggered, this, [this] { FindExecute(); });
    AddMenuRow(menuAnalize, menuFind, topic("menuFindHelp", "Html\\Find.html"));
    auto* menuDuplicates = item("menuFindDuplicates", "Find d&uplicates\u2026",
                                "Find files with the same bytes below the current folder.");
    connect(menuDuplicates, &QAction::triggered, this, [this] { FindDuplicates(); });
    AddMenuRow(menuAnalize, menuDuplicates,
               topic("menuFindDuplicatesHelp", "Html\\Duplicates.html"));
    menuAnalize->addSeparator();
    // Ctrl+O is the pie's "Zoom out"; one key for two window-wide commands
    // would run neither.
    menuOpenScan = item("menuOpenScan", "&Open scan file\u2026",
                        "Show a scan exported by cobaltquarry-scan, ncdu or gdu.",
                        QKeySequence("Ctrl+Shift+O"));
    connect(menuOpenScan, &QAction::triggered, this, [this] { OpenScanFile(); });
    AddMenuRow(menuAnalize, menuOpenScan, topic("menuOpenScanHelp", "Html\\Open_scan_file.html"));
    menuOpenRemote =
        item("menuOpenRemote", "Open &remote scan\u2026",
             "Scan a folder of a server over ssh and show it.", QKeySequence("Ctrl+Shift+R"));
    connect(menuOpenRemote, &QAction::triggered, this, [this] { OpenRemoteScan(); });
    AddMenuRow(menuAnalize, menuOpenRemote,
               topic("menuOpenRemoteHelp", "Html\\Open_remote_scan.html"));
    menuSaveScan =
        item("menuSaveScan", "&Save scan as\u2026",
             "Keep the remote scan shown in a file, to open it again without the server.");
    menuSaveScan->setEnabled(false);
    connect(menuSaveScan, &QAction::triggered, this, [this] { SaveScanAs(); });
    AddMenuRow(menuAnalize, menuSaveScan, topic("menuSaveScanHelp", "Html\\Open_remote_scan.html"));
    menuAnalize->addSeparator();
    menuExclude = item("menuExclude", "E&xclude\u2026",
                       "Choose what the drive's scans leave out: patterns and cache folders.");
    connect(menuExclude, &QAction::triggered, this, [this] { ExcludeRulesClick(); });
    AddMenuRow(menuAnalize, menuExclude, topic("menuExcludeHelp", "Html\\Exclude.html"));

    menuView = bar->addMenu("&View");
    menuView->setObjectName("menuView");
    menuView->menuAction()->setStatusTip("Show hide element");
    miPieChart =
        item("miPieChart", "&Pie chart", "Click to show/hide folder pie chart", Qt::Key_F2);
    miBarChart =
        item("miBarChart", "&Bar chart", "Click to show/hide folder bar chart", Qt::Key_F3);
    miFolderTree =
        item("miFolderTree", "&Folder tree", "Click to show/hide folder tree", Qt::Key_F4);
    for (QAction* a : {miPieChart, miBarChart, miFolderTree}) {
        a->setCheckable(true);
        // The item changes its own check mark, then the view follows.
        connect(a, &QAction::triggered, this, [this] { menuPieClick(); });
    }
    miPieChart->setChecked(true);
    miBarChart->setChecked(true);
    AddMenuRow(menuView, miPieChart, topic("menuPieHelp", "Html\\Pie-Chart.html"));
    AddMenuRow(menuView, miBarChart, topic("menuBarHelp", "Html\\Bar-Chart.html"));
    AddMenuRow(menuView, miFolderTree, topic("menuTreeHelp", "Html\\Tree.html"));
    miChanges = FChanges->miChanges();
    AddMenuRow(menuView, miChanges, topic("menuChangesHelp", "Html\\Changes.html"));
    miDiscover = Discover().miDiscover();
    AddMenuRow(menuView, miDiscover, topic("menuDiscoverHelp", "Html\\Discover.html"));
    miTreemap = Treemap().miTreemap();
    AddMenuRow(menuView, miTreemap, topic("menuTreemapHelp", "Html\\Treemap.html"));
    // Off at every start: no setting is remembered.
    miDiskUsage = item("miDiskUsage", "Disk &usage",
                       "Click to show the bytes the files take on the disk instead of their sizes");
    miDiskUsage->setCheckable(true);
    connect(miDiskUsage, &QAction::triggered, this, [this] { miDiskUsageClick(); });
    AddMenuRow(menuView, miDiskUsage, topic("menuDiskUsageHelp", "Html\\Disk_usage.html"));

    menuHelp = bar->addMenu(" &? ");
    menuHelp->setObjectName("menuHelp");
    // Each item runs its hook; an empty hook leaves the item without effect.
    auto hookItem = [this](const QString& name, const QString& caption,
                           std::function<void()> TFormMainHooks::*hook) {
        QAction* action = menuHelp->addAction(caption);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, [this, hook] {
            if (FHooks.*hook) {
                (FHooks.*hook)();
            }
        });
        return action;
    };
    menuContents = hookItem("menuContents", "&Contents", &TFormMainHooks::HelpContents);
    menuWeb = hookItem("menuWeb", "&Home Page", &TFormMainHooks::OpenHomePage);
    menuHelp->addSeparator();
    menuWhatIs = hookItem("menuWhatIs", "&What is", &TFormMainHooks::HelpWhatIs);
    menuHelp->addSeparator();
    menuAbout = hookItem("menuAbout", "&About", &TFormMainHooks::ShowAbout);
}

void TFormMain::CreateToolBar() {
    ToolBar = addToolBar("ToolBar");
    ToolBar->setObjectName("ToolBar");
    ToolBar->setMovable(false);
    ToolBar->setFloatable(false);
    ToolBar->setFixedHeight(29);
    ToolBar->setIconSize(QSize(16, 16));
    ToolBar->toggleViewAction()->setVisible(false);
    setContextMenuPolicy(Qt::NoContextMenu);

    TB6 = ToolButton(ToolBar, "TB6", ToolIcon(TToolIcon::FolderUp), "Folder up");
    connect(TB6, &QToolButton::clicked, acFolderUP, &QAction::trigger);
    Separator(ToolBar);
    tbDiskAn = ToolButton(ToolBar, "tbDiskAn", ToolIcon(TToolIcon::DiskAnalize),
                          "Click to analize only current drive");
    connect(tbDiskAn, &QToolButton::clicked, this, [this] { Analize(true); });
    connect(acDiskAnalize, &QAction::enabledChanged, tbDiskAn, &QWidget::setEnabled);
    tbRescan = ToolButton(ToolBar, "tbRescan", ToolIcon(TToolIcon::FolderAnalize),
                          "Click to analize only current folder");
    connect(tbRescan, &QToolButton::clicked, acFolderAnalize, &QAction::trigger);
    connect(acFolderAnalize, &QAction::enabledChanged, tbRescan, &QWidget::setEnabled);
    Separator(ToolBar);
    tbPie = ToolButton(ToolBar, "tbPie", ToolIcon(TToolIcon::Pie), "Pie view");
    tbPie->setCheckable(true);
    tbPie->setChecked(true);
    connect(tbPie, &QToolButton::clicked, this, [this] { acPieSHExecute(); });
    tbBar = ToolButton(ToolBar, "tbBar", ToolIcon(TToolIcon::Bar), "");
    tbBar->setCheckable(true);
    connect(tbBar, &QToolButton::clicked, this, [this] { acPieSHExecute(); });
    tbTree = ToolButton(ToolBar, "tbTree", ToolIcon(TToolIcon::Tree), "Folder tree");
    tbTree->setCheckable(true);
    connect(tbTree, &QToolButton::clicked, this, [this] { acFTreeExecute(); });

    btnDrives = FDrives->btnDrives();
    btnDrives->setObjectName("btnDrives");
    btnDrives->setParent(ToolBar);
    btnDrives->setFont(NamedFont("Tahoma", 8));
    btnDrives->setIcon(style()->standardIcon(QStyle::SP_DriveHDIcon));
    FDrives->SetDriveIcon(style()->standardIcon(QStyle::SP_DriveHDIcon));
    ToolBar->addWidget(btnDrives);

    tbExit = ToolButton(ToolBar, "tbExit", ToolIcon(TToolIcon::Exit), "Exit Cobaltquarry");
    connect(tbExit, &QToolButton::clicked, this, [this] { tbExitClick(); });

    // Right of every button, so none of them moves: where the user is.
    FolderPath = new TFolderPathLabel(ToolBar);
    FolderPath->setObjectName("FolderPath");
    FolderPath->setFont(NamedFont("Tahoma", 8));
    ToolBar->addWidget(FolderPath);
    FChanges->AttachTo(ToolBar);  // shown only while the change view is on
    FBar->OnChange = [this] { ShowWhere(); };
}

void TFormMain::CreateViews() {
    Splitter = new QSplitter(Qt::Horizontal, this);
    Splitter->setObjectName("Splitter");
    Splitter->setHandleWidth(5);
    Splitter->setChildrenCollapsible(false);
    Splitter->setStyleSheet("QSplitter::handle { background: rgb(236, 234, 230); }");
    setCentralWidget(Splitter);

    Tree = new TBarShellTreeView(Splitter);
    Tree->setObjectName("Tree");
    Tree->setFont(NamedFont("Tahoma", 8));
    Tree->SetBarColor(QColor(255, 215, 174));
    Tree->setIndentation(TBarShellTreeView::kPlainIndent);
    Tree->SetLister(&ListTreeFolders);
    Tree->OnChange = [this](QTreeWidgetItem* node) { TreeChange(node); };
    // After the tree has finished with the key: entering may rebuild it.
    Tree->OnEnterKey = [this](QTreeWidgetItem* node) {
        QMetaObject::invokeMethod(
            this, [this, path = TBarShellTreeView::NodePath(node)] { TreeEnterKey(path); },
            Qt::QueuedConnection);
    };

    BarPieHolder = new QWidget(Splitter);
    BarPieHolder->setObjectName("BarPieHolder");
    auto* holderLayout = new QVBoxLayout(BarPieHolder);
    holderLayout->setContentsMargins(0, 0, 0, 0);
    barHolder = new QWidget(BarPieHolder);
    barHolder->setObjectName("barHolder");
    holderLayout->addWidget(barHolder);
    barHolder->installEventFilter(this);

    Splitter->addWidget(Tree);
    Splitter->addWidget(BarPieHolder);
    Splitter->setStretchFactor(0, 0);
    Splitter->setStretchFactor(1, 1);
    Splitter->setSizes({177, 811 - 177 - 5});
    Tree->hide();

    BarLV = new TPBExListview(barHolder);
    BarLV->setObjectName("BarLV");
    BarLV->setFont(NamedFont("Tahoma", 8));
    BarLV->setFrameShape(QFrame::NoFrame);
    // Ctrl+click, Shift+click and Ctrl+A choose several rows for the item
    // menu; a plain click chooses one, as always.
    BarLV->setSelectionMode(QAbstractItemView::ExtendedSelection);
    BarLV->SetColumns({"Name", "Size, MB", "Size, %", ""}, {200, 100, 100, 100});
    BarLV->OnCustomDrawSubItem = [this](QPainter& canvas, QTreeWidgetItem* row, int cell,
                                        bool& defaultDraw) {
        Barlv1CustomDrawSubItem(canvas, row, cell, defaultDraw);
    };
    BarLV->OnColumnClick = [this](int column) { Barlv1ColumnClick(column); };
    BarLV->OnEndColumnResize = [this](TPBExListview*, int index, int width) {
        BarlvEndColumnResize(index, width);
    };
    // Navigation rebuilds the rows, so it runs after the list has finished
    // with the click that asked for it.
    connect(BarLV, &QTreeWidget::itemDoubleClicked, this, [this] {
        QMetaObject::invokeMethod(
            this, [this] { BarlvDblClick(); }, Qt::QueuedConnection);
    });
    BarLV->OnEnterKey = [this](QTreeWidgetItem*) {
        QMetaObject::invokeMethod(
            this, [this] { BarlvDblClick(); }, Qt::QueuedConnection);
    };
    BarLV->viewport()->installEventFilter(this);

    cbSort = new QComboBox(BarLV);
    cbSort->setObjectName("cbSort");
    cbSort->setFont(NamedFont("Tahoma", 7));
    cbSort->addItems({"No sort", "Sort size", "Sort name"});
    cbSort->setCurrentIndex(0);
    cbSort->setGeometry(499, 16, 61, 19);
    connect(cbSort, &QComboBox::activated, this, [this](int index) { cbSortChange(index); });

    CreatePieHolder();

    FBarPainter = std::make_unique<TBarListPainter>(*BarLV, BarData(), Store, *this);
    GradientFill = FBarPainter->GradientFill();
    LinkTreemapToBarList();
    NameWindowControls(*this);
}

void TFormMain::CreatePieHolder() {
    pieHolder = new TPieHolder(barHolder);
    TPieHolder::TLinks links;
    links.store = &Store;
    links.pieData = FPieData.get();
    links.barData = FBarData.get();
    links.bar = FBar.get();
    links.views = FRefresh.get();
    links.owner = this;
    links.barHolderVisible = [this] { return barHolder->isVisibleTo(this); };
    links.treeVisible = [this] { return Tree->isVisible(); };
    links.expandTree = [this] { ExpandTree(); };
    links.folderUp = [this] { acFolderUPExecute(); };
    links.enterFolder = [this](const std::string& path) { EnterFolder(path); };
    links.storedChanged = [this] { StoredSetChanged(); };
    links.note = [this](const QString& text) { ShowActionNote(text); };
    links.followBehind = FollowBehindLink();
    links.foldersChanged = [this](const std::vector<std::string>& parents) {
        Tree->RefreshTreeFolders(parents);
    };
    pieHolder->SetLinks(links);
    SetAnalysedSizeLookup(StoredSizeLookup(Store));
    SetDiskUsageLookup(StoredDiskUsageLookup(Store));
    ConnectExclusionMarks();
    pieHolder->AttachToBarHolder(barHolder);
    Pie = pieHolder->Pie();
    btnHolder = pieHolder->ButtonHolder();
    btnZIn = btnHolder->findChild<QToolButton*>("btnZIn");
    btnZOut = btnHolder->findChild<QToolButton*>("btnZOut");
    btnNewCols = btnHolder->findChild<QToolButton*>("btnNewCols");
    btnSave = btnHolder->findChild<QToolButton*>("btnSave");
    acZoomIN = pieHolder->acZoomIN();
    acZoomOUT = pieHolder->acZoomOUT();
    acChangeColors = pieHolder->acChangeColors();
    for (QAction* action : pieHolder->Actions()) {
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
}

// --- the window's parts ------------------------------------------------------------

void TFormMain::CreateParts() {
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
    // The views' refresh draws through the window's controls, made later.
    FRefresh->BarToBarlv = [this] { BarToBarlv(); };
    FRefresh->PieVisible = [this] { return pieHolder->isVisibleTo(this); };
    FRefresh->SetPieBackground = [this](TColor colour) {
        pieHolder->SetBackground(ToQColor(colour));
    };
    FRefresh->DrawPieMain = [this] { pieHolder->DrawPieMain(); };
}

void TFormMain::CreateDiscover() {
    FDiscover = new TDiscoverPanel(this);
    addDockWidget(Qt::BottomDockWidgetArea, FDiscover);
    FDiscover->hide();  // at every start, as nothing of the window is remembered
    FDiscover->OnGoTo = [this](const std::string& path) { GoToItem(path); };
    FDiscover->OnItemMenu = [this](const std::string& path, QWidget* control, QPoint at) {
        GoToItem(path);
        FItems->OpenMenu(path, control, at);
    };
    FDiscover->OnItemsMenu = [this](const TFoundItems& items, QWidget* control, QPoint at) {
        TChosenItems chosen;
        for (const TFoundItem& item : items)
            chosen.push_back({item.Path, item.Folder, item.Size});
        FItems->OpenItemsMenu(chosen, control, at);
    };
    FDiscoverFeed = std::make_unique<TDiscoverFeed>(*FDiscover, Store, *FChanges);
    CreateDuplicates();
}

void TFormMain::CreateFind() {
    FFind = std::make_unique<TFindCommand>(this, Store, *FDiscover);
}

// The item commands and the opened scans: they need the commands and the
// tool bar they change.
void TFormMain::CreateCommandParts() {
    FItems = std::make_unique<TItemCommands>(this, *ToolBar, Store, Bar(), FHooks.InvokeContextMenu,
                                             FHooks.ShellEx);
    FItems->RereadAndRebuild = [this] { RereadAndRebuild(); };
    FItems->StoredSetChanged = [this] { StoredSetChanged(); };
    FItems->ShowActionNote = [this](const QString& text) { ShowActionNote(text); };
    FItems->FollowBehind = FollowBehindLink();
    FItems->TreeFoldersChanged = [this](const std::vector<std::string>& parents) {
        Tree->RefreshTreeFolders(parents);
    };

    TOpenedScanCommands::TParts parts;
    parts.Owner = this;
    parts.Store = &Store;
    parts.Tree = &TreeLists;
    parts.Bar = &Bar();
    parts.Where = FolderPath;
    parts.Scan = acDiskAnalize;
    parts.Rescan = acFolderAnalize;
    parts.SaveScan = menuSaveScan;
    parts.ShowRoot = [this](const std::string& root) {
        FolderChanged = true;
        SetTreeRoot(root);
        SetFolder(root);
    };
    parts.ShowDiscoverData = [this] { ShowDiscoverData(); };
    FOpened = std::make_unique<TOpenedScanCommands>(std::move(parts));
    FSaveState = std::make_unique<TSaveStateItem>(*ToolBar, FolderPath);
}
