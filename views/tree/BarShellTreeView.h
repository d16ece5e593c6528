#pragma once

#include <QColor>
#include <QIcon>
#include <QTreeWidget>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/StringList.h"
#include "views/tree/NodeSpeaker.h"

// One subfolder as the folder tree shows it.
struct TTreeFolder {
    std::string path;  // drive form: "C:\home\anna"
    QString displayName;
    QIcon icon;
};

// The subfolders (hidden ones included) of a drive-form folder, in the
// listing's order.
using TFolderLister = std::function<std::vector<TTreeFolder>(const std::string& path)>;

// The folder tree: the folders below a root, created when a node is first
// expanded, with a small bar in front of every analysed folder for its share
// of its parent. The bars need room, so the indentation grows from 23 to 55
// while they are shown.
class TBarShellTreeView : public QTreeWidget, public TNodeSpeaker {
    Q_OBJECT
  public:
    static constexpr int kPlainIndent = 23;
    static constexpr int kBarIndent = 55;
    static constexpr int kBarLength = 34;
    // Drawn after the name of a folder the analysis left out.
    static constexpr const char* kExcludedWord = "excluded";

    explicit TBarShellTreeView(QWidget* parent = nullptr);

    bool ShowBarCharts() const { return FShowBarCharts; }
    void SetShowBarCharts(bool value);
    bool BarOutline() const { return FBarOutline; }
    void SetBarOutline(bool value);
    QColor BarColor() const { return FBarColor; }
    void SetBarColor(const QColor& value);
    // Kept for the look's settings; the bars are drawn without shadow.
    bool Shadow() const { return FShadow; }
    void SetShadow(bool value);

    // The tree's own copies of the percents and folders of the analysis
    // (folders in byte order). Setting them switches the bars on.
    void SetBarLists(const TStringList& percents, const TStringList& dirs);
    const TStringList& PercentList() const { return FPercents; }
    const TStringList& FolderList() const { return FDirs; }

    void SetLister(TFolderLister lister) { FLister = std::move(lister); }
    // Why the analysis left out a drive-form folder, "" when it did not: such
    // a node is marked excluded (grey, its reason in the tip) and has no
    // bar. Asked when a node is made and by RemarkExcluded.
    using TExclusionLookup = std::function<std::string(const std::string& path)>;
    void SetExclusionLookup(TExclusionLookup lookup) { FExclusion = std::move(lookup); }
    // Asks again for every node, after the analysis shown changed.
    void RemarkExcluded();
    // Why the node is marked excluded; empty when it is not.
    static std::string NodeExclusion(const QTreeWidgetItem* node);
    // The analysed size of a drive-form folder, none when it was not
    // analysed; read for what a screen reader says of a node.
    using TSizeLookup = std::function<std::optional<std::int64_t>(const std::string& path)>;
    void SetSizeLookup(TSizeLookup lookup) { FSizeLookup = std::move(lookup); }
    // A node as a screen reader says it: its name, its analysed size in MB
    // and, while the bars are shown, its share of its parent.
    QString SpokenNode(const QTreeWidgetItem* node) const override;
    // Rebuilds the tree below a new root (a drive-form folder, "C:\" for a
    // drive), expanded by one level.
    void SetRoot(const std::string& path, const QString& caption, const QIcon& icon = QIcon());
    const std::string& Root() const { return FRoot; }

    // Nodes by absolute index: their position in the fully expanded order of
    // the nodes that exist.
    int NodeCount() const;
    std::vector<QTreeWidgetItem*> Nodes() const;
    QTreeWidgetItem* Node(int absoluteIndex) const;
    static std::string NodePath(const QTreeWidgetItem* node);
    // Expands a node by one level, creating its children when needed.
    void ExpandNode(QTreeWidgetItem* node);
    // Lists a node's folders again, and those of every expanded node below
    // it, keeping the expanded nodes expanded, the selected node selected and
    // the top visible node on top.
    void RefreshFrom(QTreeWidgetItem* node);
    // After a command changed the folders of some folders (drive form; a
    // drive's root as "C:" or "C:\"): lists again each of them that the
    // tree has listed, and only those. Folders gone lose their nodes, new
    // ones get nodes at their places in the listing's order, and the nodes
    // of folders still there stay as they are, expanded or not, with what
    // was listed below them. A selected node that went makes its parent
    // the selected node. Folders outside the tree are passed over.
    void RefreshTreeFolders(const std::vector<std::string>& parents);

    // Rectangles in the viewport: the node's text, and its whole row; both
    // empty when the node is not displayed.
    QRect NodeTextRect(const QTreeWidgetItem* node) const;
    QRect NodeRowRect(const QTreeWidgetItem* node) const;

    // Selection changed (with the new node) and node expanded.
    std::function<void(QTreeWidgetItem*)> OnChange;
    // Enter or keypad Enter on the current node.
    std::function<void(QTreeWidgetItem*)> OnEnterKey;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void drawBranches(QPainter* painter, const QRect& rect,
                      const QModelIndex& index) const override;

  private:
    void PaintBars(QPainter& canvas);
    void PaintExcludedMark(QPainter& canvas, const QTreeWidgetItem* node) const;
    int BarPercent(const std::string& path) const;
    // The percent text of a folder in the tree's lists, if it has one.
    std::optional<std::string_view> PercentText(const std::string& path) const;
    QTreeWidgetItem* MakeNode(const TTreeFolder& folder);
    void MarkExcluded(QTreeWidgetItem* node);
    void Populate(QTreeWidgetItem* node);
    void Repopulate(QTreeWidgetItem* node, const std::vector<std::string>& expanded);
    // The node of a drive-form folder, found along its path; null when the
    // tree holds none.
    QTreeWidgetItem* FindNode(const std::string& path) const;
    // Brings a listed node's children in line with a new listing of it.
    void Relist(QTreeWidgetItem* node);
    // Puts a child of node at another place, keeping what was expanded.
    void MoveChild(QTreeWidgetItem* node, QTreeWidgetItem* child, int at);

    bool FShowBarCharts = false;
    bool FBarOutline = true;
    QColor FBarColor{255, 128, 0};
    bool FShadow = false;
    TStringList FPercents;
    TStringList FDirs;
    TFolderLister FLister;
    TSizeLookup FSizeLookup;
    TExclusionLookup FExclusion;
    std::string FRoot;
};
