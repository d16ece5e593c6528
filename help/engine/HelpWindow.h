#pragma once

#include <QWidget>
#include <memory>

#include "help/engine/SiteMap.h"

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace cq::help {

class ChmArchive;
class ChmBrowser;

// The help window of one help file: a navigation pane with the contents
// tree and the keyword index beside the page being read.
class HelpWindow : public QWidget {
    Q_OBJECT
  public:
    // Takes the opened archive; parent is the owner window (may be null).
    HelpWindow(std::unique_ptr<ChmArchive> archive, QWidget* parent);
    ~HelpWindow() override;

    const QString& FileName() const;

    // Each shows the window and brings it to the front.
    void ShowTopic(const QString& topic);  // "" shows the start page
    void ShowContents();
    void ShowIndex(const QString& keyword);

    // The archive path of the page on show ("/Html/Tree.html"), "" if none.
    QString CurrentPage() const;
    ChmBrowser* Browser() const { return browser_; }

  private:
    void BuildContents();
    void BuildIndex();
    void AddContentsItems(QTreeWidgetItem* parent, const std::vector<SiteMapEntry>& entries);
    void AddIndexItems(const std::vector<SiteMapEntry>& entries, int depth);
    void ShowPage(const QString& archivePath);
    void ShowStartPage();
    void SelectIndexEntry(const QString& keyword);
    void ContentsItemActivated(QTreeWidgetItem* item);
    void IndexItemActivated(QListWidgetItem* item);
    void IndexOpenSelected();
    void SyncContents();
    void Raise();

    std::unique_ptr<ChmArchive> archive_;
    QTabWidget* tabs_ = nullptr;
    QTreeWidget* contents_ = nullptr;
    QLineEdit* indexKeyword_ = nullptr;
    QListWidget* index_ = nullptr;
    ChmBrowser* browser_ = nullptr;
};

}  // namespace cq::help
