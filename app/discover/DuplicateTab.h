#pragma once
// The "Duplicates" tab of the Discover panel: a search for files with the
// same bytes below a folder (the current one, or the drive), run on a
// thread of its own with its progress (files, bytes hashed, time left) and
// Cancel, and its groups: largest waste first, each with its copies (name,
// folder, modified; hard-linked names with their copy, copies that already
// share their data marked). A double click or Enter on a copy goes to it in
// the window; its context menu is the item menu. The window shows a stored
// result here too, marked "as of" its time when the drive changed since.
#include <QString>
#include <QWidget>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/DuplicateGroup.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QThread;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;
class TDuplicateFinder;

class TDuplicateTab : public QWidget {
    Q_OBJECT
  public:
    explicit TDuplicateTab(QWidget* parent = nullptr);
    ~TDuplicateTab() override;

    // The native folder the next search looks below.
    void SetFolder(const std::string& nativeFolder);
    const std::string& Folder() const { return folder_; }
    // Starts a search below the folder (none while one runs); false when the
    // minimum size typed cannot be read (the status says why).
    bool Start();
    void Cancel();
    bool Running() const { return thread_ != nullptr; }
    // Shows a result (a search's or a stored one); asOf, when not empty, says
    // the drive changed since ("as of 2026-12-10 17:20").
    void SetResult(std::shared_ptr<const TDuplicateResult> result, const QString& asOf = {});
    const std::shared_ptr<const TDuplicateResult>& Result() const { return result_; }
    const QString& AsOf() const { return asOf_; }
    // The copies chosen in the list, as (group, copy) indexes; a chosen
    // group row chooses all its copies but the first.
    std::vector<std::pair<std::size_t, std::size_t>> ChosenCopies() const;

    QTreeWidget* List() const { return list_; }
    QLabel* Status() const { return status_; }
    QLineEdit* MinSize() const { return minSize_; }
    QPushButton* SearchButton() const { return search_; }
    QPushButton* CancelButton() const { return cancel_; }
    QPushButton* ReclaimButton() const { return reclaim_; }

    // Goes to a copy (its drive-form path) in the window.
    std::function<void(const std::string& path)> OnGoTo;
    std::function<void(const std::string& path, QWidget* control, QPoint at)> OnItemMenu;
    // A search ended with this result (to be stored with the drive's).
    std::function<void(std::shared_ptr<const TDuplicateResult>)> OnFound;
    // "Reclaim…" was clicked.
    std::function<void()> OnReclaim;

  private:
    void Fill();
    void AddGroup(std::size_t index, const TDuplicateGroup& group);
    void ShowProgress();
    void Ended(bool finished);
    std::string PathOf(QTreeWidgetItem* row) const;
    void UpdateButtons();

    QLabel* folderLabel_ = nullptr;
    QLineEdit* minSize_ = nullptr;
    QPushButton* search_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* reclaim_ = nullptr;
    QLabel* status_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QTimer* timer_ = nullptr;
    QThread* thread_ = nullptr;
    std::unique_ptr<TDuplicateFinder> finder_;
    std::shared_ptr<TDuplicateResult> running_;
    std::shared_ptr<const TDuplicateResult> result_;
    QString asOf_;
    std::string folder_;
};
