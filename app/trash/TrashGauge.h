#pragma once
// The size of the current drive's Trash on the tool bar ("Trash: 3.8 MB"),
// a button that opens "Empty Trash". It is measured when the shown drive
// changes and after every command that may have changed the trash (the
// window calls Refresh); hidden while the drive has no trash folder.
#include <QObject>
#include <functional>
#include <string>

class QAction;
class QToolBar;
class QToolButton;

class TTrashGauge : public QObject {
  public:
    explicit TTrashGauge(QToolBar& bar);

    // Measures the trash of the drive of folder (drive form) again.
    void Refresh(const std::string& folder);
    // Measures again only when folder lies on another drive than before.
    void FolderShown(const std::string& folder);

    QToolButton* Button() const { return button_; }
    // Runs when the button is clicked.
    std::function<void()> Clicked;

  private:
    QToolButton* button_ = nullptr;
    QAction* placed_ = nullptr;
    char letter_ = 0;
};
