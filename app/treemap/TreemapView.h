#pragma once
// The treemap panel's picture: the current folder as a treemap of what it
// holds, drawn from the stored results the bar list reads (see
// views/treemap). A click chooses a tile; the window is told, so that the
// bar list selects the row the tile lies in and the folder tree its
// folder. A double click or Enter enters a folder or opens a file, the
// right button opens the item menu of the tile, the arrow keys move to the
// neighbouring tile, and resting the mouse on a tile shows its path, size
// in MB and share of the current folder. Ctrl+click adds a tile to the
// chosen ones or takes it away again, as in the bar list; every chosen
// tile is outlined, and the right button on one of several chosen tiles
// opens the menu of them all. Laying out and drawing happen when
// the data or the size change, and only while the panel is shown.
#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/LargestFiles.h"
#include "views/treemap/TreemapLayout.h"
#include "views/treemap/TreemapSource.h"

class TBarData;
class TImportedTree;
class TResultStore;
class TShellListModel;
struct TResultChanges;

class TTreemapView : public QWidget {
    Q_OBJECT
  public:
    struct TLinks {
        const TResultStore* Store = nullptr;
        const TShellListModel* Listing = nullptr;
        const TBarData* Bar = nullptr;
        // The largest files of the drive shown.
        std::function<std::vector<TLargeFile>()> LargestFiles;
        // The whole tree of the opened or remote scan shown, null for a
        // drive: a scan holds every file, so each is a tile of its own.
        std::function<std::shared_ptr<const TImportedTree>()> ScanItems;
        // The comparison of the change view, null while it is off.
        std::function<const TResultChanges*()> Changes;
    };

    explicit TTreemapView(QWidget* parent = nullptr);

    void SetLinks(TLinks links);
    // The folder, its rows or the stored results changed: laid out and
    // drawn again (at once while shown, else when next shown).
    void Refresh();

    const TTreemapLayout& Layout() const { return layout_; }
    const TTreemapSource* Source() const { return source_.get(); }
    // Whether the picture shows everything (not the first picture of a
    // large drive, which is followed by the whole one).
    bool Complete() const { return !stale_ && !layout_.Partial(); }
    // The tile under a point of the widget (-1 or 0 where none), and what
    // its hint says (empty where there is no tile).
    int TileAt(QPoint point) const;
    QString HintAt(QPoint point) const;
    // The tiles of the current folder's children, largest first.
    std::vector<int> TopTiles() const;
    std::string TilePathOf(int tile) const;
    // The tile of the current folder's child that tile lies in (itself at
    // the first level), -1 for none.
    int TopTileOf(int tile) const;
    // How a screen reader reads a tile: name, size in MB, share.
    QString SpokenTile(int tile) const;

    // The chosen tile (-1: none), outlined.
    int Chosen() const { return chosen_; }
    // Chooses a tile; tell: the window is told (a choice of the user's).
    void Choose(int tile, bool tell);
    // Outlines the tile of the current folder's child at path (a row
    // chosen in the bar list), or nothing.
    void ChoosePath(const std::string& path);
    // Outlines the tiles of the current folder's children at paths (rows
    // chosen in the bar list, the current one last) as chosen together.
    void ChoosePaths(const std::vector<std::string>& paths);
    // Ctrl+click: tile joins the chosen tiles, or leaves them when it is
    // one; tell: the window is told of a tile that joins.
    void Toggle(int tile, bool tell = true);
    // Every chosen tile shown, in the order chosen (the chosen one alone
    // when no tile was added with Ctrl).
    std::vector<int> ChosenTiles() const;

    // The user chose a tile: its path, the path of its folder (itself for
    // a folder) and the path of the current folder's child it lies in.
    std::function<void(const std::string& path, const std::string& folder, const std::string& row)>
        OnChosen;
    // Double click or Enter on a tile: a folder is entered, a file opened.
    std::function<void(const std::string& path)> OnOpen;
    // The right button on a tile, at a point of the widget.
    std::function<void(const std::string& path, QPoint at)> OnItemMenu;
    // The right button on one of several chosen tiles: the menu of them all.
    std::function<void(const std::vector<int>& tiles, QPoint at)> OnItemsMenu;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

  private:
    // The folders above which a rebuilt treemap is drawn first without
    // folders of less than kFirstPassArea pixels (12 x 12).
    static constexpr std::size_t kLargeDrive = 50000;
    static constexpr int kFirstPassArea = 144;

    void Rebuild();
    // Lays out what changed (rebuilt or resized) when the window's events
    // of the moment have been handled.
    void LayOutSoon();
    // Lays the same source out again at the widget's size, leaving folders
    // of less than minOpenArea pixels whole (then laid out whole soon).
    void Relayout(int minOpenArea = 0);
    void Draw();
    int Neighbour(int tile, int key) const;
    void TellChosen();
    // What tells a tile from every other over a relayout.
    std::string TileKey(int tile) const;
    // The tiles of chosenPath_ and many_ in the layout made last.
    void FindChosen();
    void Outline(QPainter& painter, int tile) const;

    TLinks links_;
    std::unique_ptr<TTreemapSource> source_;
    TTreemapLayout layout_;
    QImage picture_;
    int chosen_ = -1;
    std::string chosenPath_;  // its TileKey, kept over a rebuild
    // The keys of the tiles chosen with Ctrl (empty when only chosen_ is), kept over a
    // relayout, and their tiles in the layout (-1 where not drawn).
    std::vector<std::string> many_;
    std::vector<int> manyTiles_;
    bool stale_ = true;
    bool layoutDue_ = false;
    bool pruneDue_ = false;  // rebuilt: many_ keeps what the whole layout shows
};
