#pragma once

#include <QMainWindow>
#include <QPoint>
#include <functional>
#include <memory>
#include <string>

#include "app/drives/CurrentFolder.h"
#include "app/shell/FollowedActions.h"
#include "engine/ResultStore.h"

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QPainter;
class QProgressBar;
class QScrollArea;
class QSplitter;
class QToolBar;
class QToolButton;
class QTreeWidgetItem;
class TBarData;
class TChangeView;
class TDiscoverFeed;
class TDiscoverPanel;
class TEmptyTrashDialog;
class TTrashGauge;
class TBarListPainter;
class TDriveSelector;
class TExcludeDialog;
class TFolderPathLabel;
class TItemCommands;
class TFindCommand;
struct TDuplicateResult;
struct TItemMenuLinks;
class TOpenedScanCommands;
class TSaveStateItem;
class TScanControl;
class TBarShellTreeView;
class TBitmapGradient;
class TPBExListview;
class TPieData;
class TPieHolder;
class TShellListModel;
class TTreemapPanel;
class TViewRefresh;
struct TRemoteRequest;

// The steps of the program that other parts provide. Every hook may stay
// empty: the window then does the least that keeps it usable (no splash, no
// About window, help requests ignored).
struct TFormMainHooks {
    // Start-up: shows the splash, pauses, runs startUp (the window's start-up
    // initialisation) and hides the splash when it returns. Empty: startUp
    // runs at once.
    std::function<void(const std::function<void()>& startUp)> RunSplash;
    // The About window: created hidden at start-up, shown without waiting.
    std::function<void()> CreateAbout;
    std::function<void()> ShowAbout;

    // Help: the help file is made known once; a topic of a "?" item
    // ("Html\Analize_disk.html"); "Contents"; "What is"; "Home Page".
    std::function<void(const QString& helpFile)> SetHelpFile;
    std::function<void(const QString& topic)> HelpTopic;
    std::function<void()> HelpContents;
    std::function<void()> HelpWhatIs;
    std::function<void()> OpenHomePage;

    // Replaces the scan decision for the current drive (tests); true when a
    // scan was started. Empty: the window's scan control decides.
    std::function<bool(bool force)> Analize;
    // Called with Analize > Exclude's dialog before it runs (tests fill it in
    // and close it).
    std::function<void(TExcludeDialog& dialog)> ExcludeDialogShown;

    // Replace the desktop's part (tests): opening a document, and the item
    // context menu of a listed item at a point of a control. Empty: the
    // program's own open and context menu.
    std::function<void(const std::string& path)> ShellEx;
    std::function<void(int itemIndex, QWidget* owner, QPoint at)> InvokeContextMenu;
};

// The program's one document window. It owns every list and flag of the run
// and keeps the commands' names as entry points; the work itself lies in the
// result store, the bar and pie data, the views and the hooks.
class TFormMain : public QMainWindow, public TCurrentFolder {
    Q_OBJECT
  public:
    explicit TFormMain(TFormMainHooks hooks = {}, QWidget* parent = nullptr);
    ~TFormMain() override;

    TFormMainHooks& Hooks() { return FHooks; }
    // The root of the folder listing: what the scan control and the drive
    // selector take as the current folder.
    std::string CurrentFolder() const override;

    // --- state -----------------------------------------------------------
    TResultStore Store;  // global lists and result files
    TTreeLists TreeLists;
    bool FolderChanged = true;
    bool FirstShowPending = true;
    int SortColumn = 2;
    bool SortReverse = false;
    bool ListsFreed = false;

    TShellListModel& Bar() { return *FBar; }
    TBarData& BarData() { return *FBarData; }
    TPieData& PieData() { return *FPieData; }
    TViewRefresh& Refresh() { return *FRefresh; }
    // The bar list's painting, column sums and row order.
    TBarListPainter& BarPainter() { return *FBarPainter; }
    // The scan decision, the scans and their progress window; the drive
    // button with its menu.
    TScanControl& Scan() { return *FScan; }
    // What the item commands' menu is linked to (benchmarks that run a
    // command as the menu does, without its questions).
    TItemMenuLinks ItemLinks() const;
    TDriveSelector& Drives() { return *FDrives; }
    // The change view: "Changes", its chooser, the rows while it is on.
    TChangeView& Changes() { return *FChanges; }
    // The Discover panel: the drive's largest files, file types, old files.
    TDiscoverPanel& Discover() { return *FDiscover; }
    // The treemap panel: the current folder as a treemap, beside the bar list.
    TTreemapPanel& Treemap() { return *FTreemap; }

    // --- controls ----------------------------------------------------------
    QToolBar* ToolBar = nullptr;
    QToolButton* TB6 = nullptr;
    QToolButton* tbDiskAn = nullptr;
    QToolButton* tbRescan = nullptr;
    QToolButton* tbPie = nullptr;
    QToolButton* tbBar = nullptr;
    QToolButton* tbTree = nullptr;
    QToolButton* btnDrives = nullptr;
    QToolButton* tbExit = nullptr;
    // The current folder's path, right of the tool bar's buttons.
    TFolderPathLabel* FolderPath = nullptr;
    // A note after an item command (made with the first one), right of it.
    QLabel* ActionNote = nullptr;
    // What the tool bar says of a scan's save: that it runs, with a busy
    // indicator, or that the results shown are not stored (both made when
    // first needed).
    QLabel* SaveState = nullptr;
    QProgressBar* SaveBusy = nullptr;
    QSplitter* Splitter = nullptr;
    TBarShellTreeView* Tree = nullptr;
    QWidget* BarPieHolder = nullptr;
    QWidget* barHolder = nullptr;
    TPBExListview* BarLV = nullptr;
    QComboBox* cbSort = nullptr;
    TPieHolder* pieHolder = nullptr;
    QWidget* Pie = nullptr;
    QWidget* btnHolder = nullptr;
    QToolButton* btnZIn = nullptr;
    QToolButton* btnZOut = nullptr;
    QToolButton* btnNewCols = nullptr;
    QToolButton* btnSave = nullptr;
    TBitmapGradient* GradientFill = nullptr;
    QWidget* Split2() const;

    // --- commands ----------------------------------------------------------
    QAction* acFolderUP = nullptr;
    QAction* acDiskAnalize = nullptr;
    QAction* acFolderAnalize = nullptr;
    QAction* acPieSH = nullptr;
    QAction* acFTree = nullptr;
    QAction* acZoomIN = nullptr;
    QAction* acZoomOUT = nullptr;
    QAction* acChangeColors = nullptr;
    QAction* acSortSize = nullptr;
    QAction* acSortName = nullptr;
    QAction* acExit = nullptr;

    // --- main menu -----------------------------------------------------------
    QMenu* menuAnalize = nullptr;
    QMenu* menuView = nullptr;
    QMenu* menuHelp = nullptr;
    QAction* menuDisk = nullptr;
    QAction* menuFolder = nullptr;
    QAction* menuOpenScan = nullptr;
    QAction* menuOpenRemote = nullptr;
    QAction* menuFind = nullptr;
    QAction* menuSaveScan = nullptr;
    QAction* menuEmptyTrash = nullptr;
    QAction* menuCleanups = nullptr;
    QAction* menuExclude = nullptr;
    QAction* miPieChart = nullptr;
    QAction* miBarChart = nullptr;
    QAction* miFolderTree = nullptr;
    QAction* miChanges = nullptr;
    QAction* miDiscover = nullptr;
    QAction* miTreemap = nullptr;
    QAction* miDiskUsage = nullptr;
    QAction* menuContents = nullptr;
    QAction* menuWeb = nullptr;
    QAction* menuWhatIs = nullptr;
    QAction* menuAbout = nullptr;

    // --- start-up, show, close ----------------------------------------------
    void FormCreate();
    // The start-up message: creates the lists and settles the start values.
    void WMStartUp();
    void FormShow();
    // The steps of the first show that draw the views.
    void FinishFirstShow();
    // The end of a scan: the views follow the stored results (see TScanControl).
    void ScanEnded(bool stored);
    // The pie label message: acts as a left click on the pie at the mouse.
    void WMPieLabelClick();
    void tbExitClick();

    // --- navigation and views -------------------------------------------------
    void SetFolder(const std::string& path);
    // Enters a folder of the listing, the tree or the pie: a link to a
    // folder leads to the folder it points to (see FolderToEnter).
    void EnterFolder(const std::string& path);
    void acFolderUPExecute();
    void acPieSHExecute();
    void acFTreeExecute();
    void menuPieClick();
    // Every view follows the Disk usage item: allocated bytes or file sizes.
    void miDiskUsageClick();
    bool Analize(bool force);
    // Analize > Exclude: the chosen drive's exclude rules (FormMainExclude.cpp).
    void ExcludeRulesClick();
    // Says on the tool bar when the results shown were made with other
    // exclude rules than their drive's.
    void ShowExcludeNote();
    // The folder tree and Properties mark what the stored rules left out.
    void ConnectExclusionMarks();
    void UpdateBarPie();
    void UpdateBar();
    void UpdatePie();
    void LoadData();
    void LoadTree();
    void SetPieHolderSize();
    // Copies the tree's lists of the analysis into the folder tree.
    void SyncTreeBars();
    // An item command changed the stored set: the folder tree follows.
    void StoredSetChanged();
    // Stores an item command's change behind the views, as a scan's save.
    TFollowBehind FollowBehindLink();
    // Shows a note on the tool bar until another folder is shown.
    void ShowActionNote(const QString& text);
    // Analize > "Empty Trash..." (the dialog, made and shown; open, not
    // modal), "Cleanups...", and the Trash's size measured again.
    TEmptyTrashDialog* EmptyTrashDialog();
    void EmptyTrash();
    void EditCleanups();
    void TrashChanged();
    TTrashGauge* TrashGauge() const { return FTrashGauge; }
    // Makes the folder of a file (drive form) current and selects the
    // file's row in the bar list.
    void GoToItem(const std::string& path);
    // Analize > Find: asks, finds, shows the "Found" tab.
    void FindExecute();
    TFindCommand& Finder() { return *FFind; }
    // The Discover panel follows the drive or opened scan shown, and the
    // kept results the change view compares with.
    void ShowDiscoverData();
    void ShowDiscoverKept();
    // Analize > "Find duplicates...": the Discover panel's Duplicates tab
    // searches below the current folder; its Reclaim button; the tab's
    // links to the window (FormMainDuplicates.cpp).
    void FindDuplicates();
    void ReclaimDuplicates();
    void CreateDuplicates();
    // The last search's result kept with the drive's stored results, and
    // shown in the tab when the drive's results are shown.
    void StoreDuplicates(std::shared_ptr<const TDuplicateResult> result);
    void ShowStoredDuplicates();
    // The tool bar's save state follows the scan control's.
    void ShowSaveState();
    // The treemap follows the rows of the bar list (and the sizes, the
    // change view and the results they come from).
    void TreemapFollows();

    // --- a scan shown instead of a drive (TOpenedScanCommands) --------------------
    // "Open scan file...", "Open remote scan..." (a request as it is, or
    // asked for when null) and "Save scan as..."; an empty file is asked for.
    void OpenScanFile(const QString& file = QString());
    void OpenRemoteScan(const TRemoteRequest* request = nullptr);
    void SaveScanAs(const QString& file = QString());
    bool ShowsOpenedScan() const;
    void LeaveOpenedScan();

    // --- bar list --------------------------------------------------------------
    void BarToBarlv();
    void SetBarProperties();
    void Barlv1CustomDrawSubItem(QPainter& canvas, QTreeWidgetItem* row, int cellIndex,
                                 bool& defaultDraw);
    void DrawBarImage(QPainter& canvas, QTreeWidgetItem* row, int cellIndex);
    QRect BarRect(QTreeWidgetItem* row, int column, int percent) const;
    void DrawWhiteRect(QPainter& canvas, const QRect& r);
    void DrawShadow(QPainter& canvas, const QRect& r);
    void DrawGradientBar(QPainter& canvas, const QRect& r, const QColor& colour);
    int LVCustomCompare(QTreeWidgetItem* item1, QTreeWidgetItem* item2) const;
    void Barlv1ColumnClick(int column);
    void acSortSizeExecute();
    void acSortNameExecute();
    void cbSortChange(int index);
    bool SizeSort() const;
    bool AZSort() const;
    void BarlvEndColumnResize(int columnindex, int columnwidth);
    int ColumnWidths() const;
    void BarlvDblClick();
    // Enter on the tree's selected folder: entered, and the tree opened
    // along it.
    void TreeEnterKey(const std::string& path);
    void BarlvMouseDown(Qt::MouseButton button, QPoint at);
    // The absolute path a row stands for (sub-item 3).
    static std::string RowPath(const QTreeWidgetItem* row);

    // --- folder tree -------------------------------------------------------------
    void TreeChange(QTreeWidgetItem* node);
    void ExpandTree();
    int FolderINTreeSLS(const std::string& path) const;
    void SetTreeRoot(const std::string& driveRoot);

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The scan control, the drive selector and the change view, linked to
    // the window; the item commands and the opened scans, once the commands
    // and the tool bar they change are made.
    void CreateParts();
    void CreateCommandParts();
    void CreateActions();
    void CreateMenu();
    void CreateToolBar();
    void CreateViews();
    void CreateDiscover();
    void CreateFind();
    void CreateTreemap();
    // A row chosen in the bar list outlines its tile.
    void LinkTreemapToBarList();
    // A tile chosen in the treemap: its row in the bar list, its folder in
    // the tree.
    void TreemapChosen(const std::string& folder, const std::string& row);
    // The item menu of a tile, in whatever folder it lies.
    void TreemapItemMenu(const std::string& path, QWidget* control, QPoint at);
    void CreatePieHolder();
    void CreateTrashParts();
    void RereadAndRebuild();
    void FreeSLs();
    void ShowShellError(const QString& message);
    void ShowOpenedScan();
    // The current folder in the tool bar's path label.
    void ShowWhere();

    TFormMainHooks FHooks;
    std::unique_ptr<TShellListModel> FBar;
    std::unique_ptr<TBarData> FBarData;
    std::unique_ptr<TPieData> FPieData;
    std::unique_ptr<TViewRefresh> FRefresh;
    std::unique_ptr<TBarListPainter> FBarPainter;
    std::unique_ptr<TScanControl> FScan;
    std::unique_ptr<TDriveSelector> FDrives;
    std::unique_ptr<TChangeView> FChanges;
    TDiscoverPanel* FDiscover = nullptr;  // a dock of the window, owned by it
    TTreemapPanel* FTreemap = nullptr;    // a dock of the window, owned by it
    std::unique_ptr<TDiscoverFeed> FDiscoverFeed;
    std::unique_ptr<TItemCommands> FItems;
    std::unique_ptr<TFindCommand> FFind;
    std::unique_ptr<TOpenedScanCommands> FOpened;
    std::unique_ptr<TSaveStateItem> FSaveState;
    TTrashGauge* FTrashGauge = nullptr;  // on the tool bar, owned by it
    bool tabFromStore_ = false;          // the Duplicates tab shows the stored result
};
