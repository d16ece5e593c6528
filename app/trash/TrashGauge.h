#pragma once
// The size of the current drive's Trash on the tool bar ("Trash: 3.8 MB"),
// a button that opens "Empty Trash". It is measured when the shown drive
// changes and after every command that may have changed the trash (the
// window calls Refresh); hidden while the drive has no trash folder.
//
// A trash can hold millions of files, so it is measured on a thread of its
// own: the button keeps its last text until the new sum arrives through one
// queued call. Refreshes asked for meanwhile are folded into one more
// measurement after the running one; the newest request always wins.
#include <QObject>
#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/desktop/TrashFolders.h"

class QAction;
class QToolBar;
class QToolButton;

class TTrashGauge : public QObject {
  public:
    explicit TTrashGauge(QToolBar& bar);
    ~TTrashGauge() override;

    // Measures the trash of the drive of folder (drive form) again.
    void Refresh(const std::string& folder);
    // Measures again only when folder lies on another drive than before.
    void FolderShown(const std::string& folder);
    // Whether a measurement runs or waits: the text may still change.
    bool Measuring() const { return running_ || waiting_.has_value(); }

    QToolButton* Button() const { return button_; }
    // Runs when the button is clicked.
    std::function<void()> Clicked;

  private:
    using TFolders = std::vector<cq::desktop::TTrashFolder>;
    void Start(TFolders folders);
    void Show(unsigned request, std::int64_t bytes, const std::vector<QString>& problems);

    QToolButton* button_ = nullptr;
    QAction* placed_ = nullptr;
    char letter_ = 0;
    unsigned request_ = 0;  // the newest request; older sums are not shown
    bool running_ = false;
    std::optional<TFolders> waiting_;
    std::atomic<bool> stop_{false};
    std::thread worker_;
};
