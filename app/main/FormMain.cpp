#include "app/main/FormMain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QCursor>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QSplitter>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <clocale>
#include <cmath>

#include "app/drives/DriveSelector.h"
#include "app/help/MenuHelp.h"
#include "app/main/FolderPathLabel.h"
#include "app/main/MenuRow.h"
#include "app/main/ToolIcons.h"
#include "app/pie/PieControl.h"
#include "app/pie/PieHolder.h"
#include "app/scan/ScanControl.h"
#include "app/shell/ItemContextMenu.h"
#include "app/shell/ItemPropertiesDialog.h"
#include "app/shell/ListedItems.h"
#include "app/shell/ShellEx.h"
#include "app/shell/ShellIcons.h"
#include "platform/DriveTable.h"
#include "platform/FileInfo.h"
#include "views/bar/BarData.h"
#include "views/bar/BarDrawing.h"
#include "views/bar/BarSort.h"
#include "views/bar/PBExListview.h"
#include "views/common/Colors.h"
#include "views/common/NumberText.h"
#include "views/common/PathText.h"
#include "views/gradient/BitmapGradient.h"
#include "views/pie/PieData.h"
#include "views/pie/ViewRefresh.h"
#include "views/tree/BarShellTreeView.h"
#include "views/tree/IconCache.h"
#include "views/tree/ShellListModel.h"

namespace {

constexpr int kRawPathRole = Qt::UserRole;

QColor ToQColor(TColor colour) {
    TColor rgb = ColorToRGB(colour);
    return QColor(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
}

std::string UpperAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

// Paths compare byte for byte; only the drive letter ignores case.
bool SamePath(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    if (a.size() >= 2 && a[1] == ':') {
        return UpperAscii(a.substr(0, 1)) == UpperAscii(b.substr(0, 1)) &&
               a.compare(1, std::string::npos, b, 1, std::string::npos) == 0;
    }
    return a == b;
}

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

TFormMain::TFormMain(TFormMainHooks hooks, QWidget* parent)
    : QMainWindow(parent), FHooks(std::move(hooks)) {
    FBar = std::make_unique<TShellListModel>(&TIconCache::System());
    FBar->OnError = [this](const QString& message) { ShowShellError(message); };
    FBarData = std::make_unique<TBarData>(Store, *FBar, FolderChanged);
    FPieData = std::make_unique<TPieData>(Store, *FBar, FolderChanged);
    FRefresh = std::make_unique<TViewRefresh>(Store, *FBarData, *FPieData);

    TScanControl::THooks scanHooks;
    scanHooks.Root = [this] { return Bar().Root(); };
    scanHooks.SetTreeRoot = [this](const std::string& root) { SetTreeRoot(root); };
    scanHooks.SetBarProperties = [this] { SetBarProperties(); };
    scanHooks.ScanEnded = [this](bool stored) { ScanEnded(stored); };
    FScan = std::make_unique<TScanControl>(Store, TreeLists, this, std::move(scanHooks));

    TDriveSelector::THooks driveHooks;
    driveHooks.Drive = [this] { return Bar().Root(); };
    driveHooks.SetFolder = [this](const std::string& path) { SetFolder(path); };
    driveHooks.DriveChosen = [this] {
        FScan->SetReloadPending();
        Analize(false);
    };
    driveHooks.UpdateBarPie = [this] { UpdateBarPie(); };
    FDrives = std::make_unique<TDriveSelector>(std::move(driveHooks));
    connect(FScan.get(), &TScanControl::ScanningChanged, this,
            [this](bool scanning) { FDrives->SetEnabled(!scanning); });

    setObjectName("FormMain");
    setFont(NamedFont("MS Sans Serif", 8));
    setGeometry(103, 144, 811, 539);
    setWindowTitle("Cobaltquarry");

    CreateActions();
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
}

QWidget* TFormMain::Split2() const {
    return Splitter->handle(1);
}

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

    menuHelp = bar->addMenu(" &? ");
    menuHelp->setObjectName("menuHelp");
    menuContents = menuHelp->addAction("&Contents");
    menuContents->setObjectName("menuContents");
    connect(menuContents, &QAction::triggered, this, [this] {
        if (FHooks.HelpContents) {
            FHooks.HelpContents();
        }
    });
    menuWeb = menuHelp->addAction("&Home Page");
    menuWeb->setObjectName("menuWeb");
    connect(menuWeb, &QAction::triggered, this, [this] {
        if (FHooks.OpenHomePage) {
            FHooks.OpenHomePage();
        }
    });
    menuHelp->addSeparator();
    menuWhatIs = menuHelp->addAction("&What is");
    menuWhatIs->setObjectName("menuWhatIs");
    connect(menuWhatIs, &QAction::triggered, this, [this] {
        if (FHooks.HelpWhatIs) {
            FHooks.HelpWhatIs();
        }
    });
    menuHelp->addSeparator();
    menuAbout = menuHelp->addAction("&About");
    menuAbout->setObjectName("menuAbout");
    connect(menuAbout, &QAction::triggered, this, [this] {
        if (FHooks.ShowAbout) {
            FHooks.ShowAbout();
        }
    });
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
    FBar->OnChange = [this] { FolderPath->SetPath(Bar().RootFolder().NativePath()); };
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
    BarLV->viewport()->installEventFilter(this);

    cbSort = new QComboBox(BarLV);
    cbSort->setObjectName("cbSort");
    cbSort->setFont(NamedFont("Tahoma", 7));
    cbSort->addItems({"No sort", "Sort size", "Sort name"});
    cbSort->setCurrentIndex(0);
    cbSort->setGeometry(499, 16, 61, 19);
    connect(cbSort, &QComboBox::activated, this, [this](int index) { cbSortChange(index); });

    CreatePieHolder();

    GradientFill = new TBitmapGradient(this);
    GradientFill->setObjectName("GradientFill");
    GradientFill->setFixedHeight(17);
    GradientFill->hide();
    PieGradient = new TBitmapGradient(this);
    PieGradient->setObjectName("PieGradient");
    PieGradient->hide();
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
    pieHolder->SetLinks(links);
    SetAnalysedSizeLookup(StoredSizeLookup(Store));
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

void TFormMain::RereadAndRebuild() {
    pieHolder->RereadAndRebuild();
}

// --- start-up, show, close ----------------------------------------------------

void TFormMain::FormCreate() {
    if (FHooks.RunSplash) {
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

void TFormMain::LoadData() {
    Store.LoadData(TreeLists);
    SyncTreeBars();
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
    BarLV->clear();
    const TBarData& data = BarData();
    const size_t rows = std::min(
        {data.BarSizes.size(), data.BarPercents.size(), static_cast<size_t>(Bar().Count())});
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<int>(rows));
    try {
        for (size_t i = 0; i < rows; ++i) {
            const TShellFolder& folder = Bar().Item(static_cast<int>(i));
            auto* row = new QTreeWidgetItem();
            items.append(row);
            row->setText(0, folder.DisplayName());
            row->setIcon(0, TIconCache::System().Icon(folder.ImageIndex()));
            row->setText(1, QString::fromStdString(FormatMB(data.BarSizes[i])));
            row->setText(2, QString::fromStdString(data.BarPercents[i]));
            row->setText(3, QFile::decodeName(QByteArray::fromStdString(folder.PathName())));
            row->setData(3, kRawPathRole, QByteArray::fromStdString(folder.PathName()));
            row->setTextAlignment(1, Qt::AlignLeft | Qt::AlignVCenter);
        }
    } catch (...) {
        BarLV->addTopLevelItems(items);
        BarLV->setUpdatesEnabled(true);
        throw;
    }
    BarLV->addTopLevelItems(items);
    if (SizeSort()) {
        acSortSize->trigger();
    }
    if (AZSort()) {
        acSortName->trigger();
    }
    BarLV->setUpdatesEnabled(true);
}

void TFormMain::SetBarProperties() {
    GradientFill->SetStyle(gsLinearH);
    GradientFill->SetReverse(true);
    BarOutLine = true;
    BarShadow = true;
    update();
    BarLV->viewport()->update();
}

void TFormMain::Barlv1CustomDrawSubItem(QPainter& canvas, QTreeWidgetItem* row, int cellIndex,
                                        bool& defaultDraw) {
    if (BarData().BarDataReady && !Store.GlobalSLSEmpty() && !BarData().BarSLSEmpty() &&
        cellIndex == 3) {
        defaultDraw = false;
        DrawBarImage(canvas, row, 3);
    }
}

void TFormMain::DrawBarImage(QPainter& canvas, QTreeWidgetItem* row, int cellIndex) {
    const int position = BarLV->indexOfTopLevelItem(row);
    const TBarData& data = BarData();
    if (position < 0 || position >= static_cast<int>(data.BarPercents.size()) ||
        position >= static_cast<int>(data.BarColors.size())) {
        return;
    }
    // The colours stay with the positions when the rows are sorted.
    QColor colour = ToQColor(StringToColor(data.BarColors[position]));
    float p = static_cast<float>(StrToFloat(row->text(2).toStdString()));
    QRect r = BarRect(row, cellIndex, static_cast<int>(std::trunc(p)));
    if (p > 0) {
        DrawWhiteRect(canvas, r);
        DrawShadow(canvas, r);
        DrawGradientBar(canvas, r, colour);
    }
}

QRect TFormMain::BarRect(QTreeWidgetItem* row, int column, int percent) const {
    QList<int> widths;
    for (int c = 0; c < BarLV->columnCount(); ++c) {
        widths << BarLV->ColumnWidth(c);
    }
    return ::BarRect(BarLV->RowRect(row), widths, column, percent);
}

void TFormMain::DrawWhiteRect(QPainter& canvas, const QRect& r) {
    ::DrawWhiteRect(canvas, r, BarLV->ColumnWidth(3));
}

void TFormMain::DrawShadow(QPainter& canvas, const QRect& r) {
    ::DrawShadow(canvas, r, BarShadow, palette().color(QPalette::Dark));
}

void TFormMain::DrawGradientBar(QPainter& canvas, const QRect& r, const QColor& colour) {
    GradientFill->SetColorBegin(RGBColor(colour.red(), colour.green(), colour.blue()));
    GradientFill->SetColorEnd(clWhite);
    ::DrawGradientBar(canvas, r, GradientFill->RenderedBitmap(), colour, BarOutLine);
}

int TFormMain::LVCustomCompare(QTreeWidgetItem* item1, QTreeWidgetItem* item2) const {
    auto key = [](QTreeWidgetItem* row) {
        return TBarSortKey{row->text(0), row->text(1), row->text(2)};
    };
    return BarCompare(SortColumn, SortReverse, key(item1), key(item2),
                      [](const QString& text) { return StrToFloat(text.toStdString()); });
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
    int sum = 0;
    for (int c = 0; c < BarLV->columnCount(); ++c) {
        sum += BarLV->ColumnWidth(c);
    }
    return sum;
}

std::string TFormMain::RowPath(const QTreeWidgetItem* row) {
    return row ? row->data(3, kRawPathRole).toByteArray().toStdString() : std::string();
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
        SetFolder(path);
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
    InvokeContextMenuForPath(this, Bar(), path, BarLV, at, [this] { RereadAndRebuild(); });
}

// --- folder tree ---------------------------------------------------------------------

void TFormMain::TreeChange(QTreeWidgetItem* node) {
    if (Tree->hasFocus() && node) {
        SetFolder(TBarShellTreeView::NodePath(node));
    }
}

int TFormMain::FolderINTreeSLS(const std::string& path) const {
    const std::vector<QTreeWidgetItem*> nodes = Tree->Nodes();
    for (size_t k = 0; k < nodes.size(); ++k) {
        if (SamePath(TBarShellTreeView::NodePath(nodes[k]), path)) {
            return static_cast<int>(k);
        }
    }
    return -1;
}

void TFormMain::ExpandTree() {
    std::string p = Bar().Root();
    do {
        int k = FolderINTreeSLS(p);
        if (k >= 0) {
            Tree->ExpandNode(Tree->Node(k));
        }
        p = GetParentDir(p);
    } while (p.find('\\') != std::string::npos);
}

void TFormMain::SetTreeRoot(const std::string& driveRoot) {
    // The drive's results have just been (re)loaded into the tree's lists.
    SyncTreeBars();
    if (Tree->Root() == driveRoot) {
        Tree->RefreshFrom(Tree->Node(0));
        return;
    }
    std::string name;
    if (!driveRoot.empty()) {
        name = TDriveTable::Current()->DisplayName(driveRoot[0]);
    }
    QString caption = name.empty() ? QString::fromStdString(driveRoot)
                                   : QFile::decodeName(QByteArray::fromStdString(name));
    Tree->SetRoot(driveRoot, caption, style()->standardIcon(QStyle::SP_DriveHDIcon));
}
