#pragma once
// The listing of one folder, the current folder of the main window: the data
// behind the hidden shell list "Bar" and the bar list that shows it. Setting
// Root re-lists; the items come folders first (links to folders included),
// then everything else, each group in natural, case-insensitive,
// locale-aware name order. Hidden items are listed too.
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "views/tree/ShellFolder.h"
#include "views/tree/ShellItems.h"
#include "views/tree/ShellNameOrder.h"

class TIconCache;
struct TDirEntry;

class TShellListModel {
  public:
    explicit TShellListModel(TIconCache* icons = nullptr);

    // The current folder in the drive form: "X:\" for a drive root, else
    // without a trailing backslash. Empty until a root has been set.
    const std::string& Root() const { return root_.PathName(); }

    // Makes path the root and lists it. A path that names no folder on a
    // drive is refused: the error is reported through OnError and
    // LastError, the previous root and its items stay, and false is
    // returned. "x:" and "x:\dir\" are taken as "X:\" and "X:\dir".
    bool SetRoot(std::string_view path);

    // Lists the root again (after a command changed the folder's content).
    // A root that has gone since reports an error and leaves no items.
    bool Refresh();

    const TShellFolder& RootFolder() const { return root_; }
    int Count() const { return static_cast<int>(items_->size()); }
    const TShellFolder& Item(int index) const { return (*items_)[static_cast<size_t>(index)]; }
    const TShellItems& Items() const { return *items_; }
    // The items as they are now, kept alive for whoever holds them when the
    // root is listed again (a listing makes a new list, never changes one).
    std::shared_ptr<const TShellItems> SharedItems() const { return items_; }

    // Number of items in the folder group (they come first).
    int FolderCount() const { return folderCount_; }

    // Position of the item whose drive-form path is exactly path; -1 if none.
    int IndexOfPath(std::string_view path) const;

    QString LastError() const { return lastError_; }

    // Called with the message when a root cannot be listed.
    std::function<void(const QString&)> OnError;
    // Called after every successful (re-)listing.
    std::function<void()> OnChange;

    // The drive form of a root as this model keeps it, or "" when the text is
    // not a drive-form path at all.
    static std::string NormalRoot(std::string_view path);

  private:
    struct TSortEntry;

    bool List(const std::string& root);
    void Fail(const QString& message);
    // Each entry's kind, display name and sort key (on a few threads for a
    // large folder), and the order they give: folders first, then by name.
    std::vector<TSortEntry> SortEntries(const std::vector<TDirEntry>& entries,
                                        const std::string& native);
    static std::vector<std::size_t> SortedOrder(const std::vector<TDirEntry>& entries,
                                                const std::vector<TSortEntry>& sorting);

    TIconCache* icons_;
    TShellNameOrder order_;
    std::vector<TShellNameOrder> extraOrders_;  // for the listing's other threads
    TShellFolder root_;
    std::shared_ptr<const TShellItems> items_;
    int folderCount_ = 0;
    QString lastError_;
};
