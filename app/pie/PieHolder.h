#pragma once
// The pie's part of the main window: the scroll box "pieHolder" with the
// pie control and its button strip, the legend, hit-testing, the hover hint,
// clicks (open, enter, context menu) and the zoom and colour commands.
// The main window owns it and lends it the data it reads through TLinks.
#include <QPointer>
#include <QScrollArea>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/shell/FollowedActions.h"

class QAction;
class QToolButton;
class TPieControl;
struct TPieOutline;
class TPieLabel;
class TResultStore;
class TPieData;
class TBarData;
class TShellListModel;
class TViewRefresh;

class TPieHolder : public QScrollArea {
    Q_OBJECT

  public:
    // What the main window lends the pie. Every pointer must outlive the
    // holder; every function may stay empty.
    struct TLinks {
        TResultStore* store = nullptr;   // the global lists
        TPieData* pieData = nullptr;     // the pie lists and FolderChanged
        TBarData* barData = nullptr;     // the bar lists
        TShellListModel* bar = nullptr;  // the current folder's listing ("Bar")
        TViewRefresh* views = nullptr;   // UpdateBarPie
        QWidget* owner = nullptr;        // parent of menus and message boxes
        std::function<bool()> barHolderVisible;
        std::function<bool()> treeVisible;
        std::function<void()> expandTree;
        std::function<void()> folderUp;  // "Folder up", for Backspace on the pie
        // Makes a folder current and rebuilds the views, following a link to
        // a folder to where it leads. Empty: the listing's root is set.
        std::function<void(const std::string&)> enterFolder;
        // After an item command changed the stored set; a note to show
        // (see TItemMenuLinks).
        std::function<void()> storedChanged;
        std::function<void(const QString&)> note;
        // Stores a command's change behind the views (TItemMenuLinks).
        TFollowBehind followBehind;
        std::function<void(const std::vector<std::string>& parents)> foldersChanged;
    };

    explicit TPieHolder(QWidget* parent = nullptr);

    void SetLinks(const TLinks& links);

    // Places the holder at its fixed place in the bar holder and keeps it
    // fitted to it (barHolderResize runs SetPieHolderSize).
    void AttachToBarHolder(QWidget* barHolder);
    void SetPieHolderSize();

    // The whole redraw: defaults, pie data, caption, picture, old labels
    // removed, new labels created.
    void DrawPieMain();

    // The pie control's handlers, in its own pixel coordinates.
    int ClickedPiece(int x, int y) const;
    void PieMouseDown(Qt::MouseButton button, QPoint at);
    void PieMouseMove(QPoint at);

    // The keyboard on the focused pie: arrows choose a slice (outlined, with
    // its hint), Enter acts on it as a left click does, Backspace climbs one
    // folder. 0 when no slice is chosen.
    bool PieKey(int key);
    int KeySlice() const { return keySlice_; }
    // The hint for a point of the pie, empty where no slice has one.
    QString PieHintAt(QPoint at);
    // A point of the pie in the middle direction of entry j.
    QPoint SliceMidPoint(int j) const;

    // Commands of the strip (also for the window's menus and keys).
    void acZoomINExecute();
    void acZoomOUTExecute();
    void acChangeColorsExecute();
    QAction* acZoomIN() const { return acZoomIN_; }
    QAction* acZoomOUT() const { return acZoomOUT_; }
    QAction* acChangeColors() const { return acChangeColors_; }
    QList<QAction*> Actions() const { return {acZoomIN_, acZoomOUT_, acChangeColors_}; }

    int Zoom() const { return zoom_; }
    void SetZoom(int zoom);  // start-up sets 100

    TPieControl* Pie() const { return pie_; }
    QWidget* ButtonHolder() const { return btnHolder_; }
    // The path of the last hint built; survives redraws.
    const std::string& HoveredPath() const { return hoveredPath_; }

    // The background colour UpdateBar and UpdatePie give the holder.
    void SetBackground(const QColor& color);

    // Runs after a context-menu command that changed the folder: re-reads
    // the listing and rebuilds the views.
    void RereadAndRebuild();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ApplyZoom(int zoom);
    std::optional<std::string> PathAt(QPoint at) const;
    void CreateButtons();
    void PieLBLClick(TPieLabel* label, QPoint at);
    void PieLabelMessage(QPoint at);
    void ActOnPiece(const std::string& path, Qt::MouseButton button, QPoint at);
    void BuildHint(const std::string& path);
    void ShowHintNow(QPoint at);
    int SliceCount() const;
    void ChooseSlice(int j);
    void UpdateOutline();
    // Slice j's place on the control (1 the first listed slice; the count
    // of listed slices + 1 the remainder).
    TPieOutline SliceShape(int j) const;
    // Tells the control what a screen reader says of the pie.
    void SpeakSlices(const std::string& caption);
    void FitContent();
    bool ListsEmpty() const;
    void DrawPicture();

    TLinks links_;
    QWidget* content_;
    QWidget* btnHolder_;
    TPieControl* pie_;
    QToolButton* btnZIn_;
    QToolButton* btnZOut_;
    QToolButton* btnNewCols_;
    QToolButton* btnSave_;
    QAction* acZoomIN_;
    QAction* acZoomOUT_;
    QAction* acChangeColors_;
    QPointer<QWidget> barHolder_;
    int zoom_;
    std::string hoveredPath_;
    int keySlice_ = 0;
    std::string keyFolder_;  // the folder whose slice keySlice_ counts
};
