#pragma once
// The window's side of a scan shown instead of a drive ("Open scan file...",
// "Open remote scan...", "Save scan as..."): asks what to open, reads it
// behind a progress box, puts its lists into the window's results and shows
// its root, and puts the drive's lists back when the window leaves it.
// While a scan is shown, nothing of it is on this machine: scanning and
// rescanning are off, and the tool bar says which file and folder it is.
#include <QString>
#include <functional>
#include <memory>
#include <string>

class QAction;
class QWidget;
class TFolderPathLabel;
class TOpenedScan;
class TResultStore;
class TShellListModel;
struct TRemoteRequest;
struct TTreeLists;

class TOpenedScanCommands {
  public:
    // The window's parts a shown scan changes.
    struct TParts {
        QWidget* Owner = nullptr;  // the parent of every dialog and message
        TResultStore* Store = nullptr;
        TTreeLists* Tree = nullptr;
        const TShellListModel* Bar = nullptr;  // the listing shown
        TFolderPathLabel* Where = nullptr;     // the tool bar's path
        // Off while a scan is shown: scanning the drive and the folder.
        QAction* Scan = nullptr;
        QAction* Rescan = nullptr;
        QAction* SaveScan = nullptr;  // on while a remote scan's export is kept
        // Makes the scan's root the folder shown (the tree's and the listing's).
        std::function<void(const std::string& root)> ShowRoot;
        // The Discover panel follows what is shown.
        std::function<void()> ShowDiscoverData;
    };

    explicit TOpenedScanCommands(TParts parts);
    ~TOpenedScanCommands();

    // Read File (asked for when empty) or the remote scan Request (asked
    // for when null, offering the last one asked), then shown; a failure is
    // told, a cancel is not.
    void OpenScanFile(const QString& file);
    void OpenRemoteScan(const TRemoteRequest* request);
    // A remote scan's export as received, into File (asked for when empty).
    void SaveScanAs(const QString& file);
    bool Shows() const;
    void ShowOpenedScan();
    void LeaveOpenedScan();
    // The tool bar's path: the scan's file and folder, or the folder's
    // native path, and which size the numbers are.
    void ShowWhere();

    const TOpenedScan& Scan() const { return *opened_; }

  private:
    TParts parts_;
    std::unique_ptr<TOpenedScan> opened_;
    std::unique_ptr<TRemoteRequest> remoteAsked_;  // what the remote dialog was last given
};
