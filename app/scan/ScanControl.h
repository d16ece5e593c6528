#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/drives/CurrentFolder.h"
#include "engine/ResultStore.h"
#include "engine/ScanThread.h"

class QAction;
class QWidget;
class TFormWait;
class TSaveRunner;

// The main window's control of scans: the decision whether to load a drive's
// stored analysis or to offer a scan, the drive scan and the folder rescan,
// the progress window, and what happens when a scan ends. One scan at a
// time: while one runs, the scan commands are disabled and any other start
// is refused. The owner keeps the result store and the tree's lists; this
// object only calls them, on the GUI thread, asks the owner for the current
// folder and tells it the rest through signals.
//
// A scan's results are shown as soon as its walk ends; they are saved on a
// thread of their own meanwhile (TDetachedSave, which says who owns which
// lists when). Until that save ends, the store's operations that report an
// outcome wait for it (the store's BeforeChange joins it here, its report
// left to the event loop), a replacement of the lists is queued by the store
// and made when this object finishes the save (TSaveRunner::Join), a scan
// asked for waits and starts after it, and the owner's close is arranged
// for after it (ArrangeCloseAfterSave).
class TScanControl : public QObject {
    Q_OBJECT
  public:
    struct THooks {
        // Reads the drive table again and tells whether the drive ('D') is
        // mounted. Default: the drive table, refreshed.
        std::function<bool(char letter)> Mounted;
    };

    // Answers a question box: true only for Yes. Replaceable in tests.
    using TAsker = std::function<bool(const QString& text)>;
    // Shows a message: a drive that is not mounted, a save that failed,
    // stored results that cannot be used. Replaceable in tests.
    using TTeller = std::function<void(const QString& text)>;

    // folder: the owner, asked for the current folder; it outlives this.
    TScanControl(TResultStore& store, TTreeLists& tree, QWidget* window,
                 const TCurrentFolder& folder, THooks hooks = {});
    // Cancels a running scan and waits for its thread.
    ~TScanControl() override;

    QAction* acDiskAnalize() const { return acDiskAnalize_; }
    QAction* acFolderAnalize() const { return acFolderAnalize_; }
    // The items "Disk" and "Folder" of the menu "Analize": they run the two
    // commands and are enabled exactly when the commands are.
    QAction* menuDisk() const { return menuDisk_; }
    QAction* menuFolder() const { return menuFolder_; }
    TFormWait& FormWait() const { return *formWait_; }

    // Loads the current drive's stored analysis when needed and offers (or,
    // with force, always offers) a scan of the whole drive; true when a scan
    // was started.
    bool Analize(bool force);
    // Creates, configures and starts the scan thread for path.
    void AnalizeInit(const std::string& path);
    // Offers and starts a rescan of the current folder.
    void AnalizeFolder();
    // The end of a scan, on the GUI thread: unless cancelled, the results
    // become the store's lists (a rescan merged into them) and are shown,
    // and their save starts on its thread; the progress window closes. The
    // result's lists are taken over by the store.
    void OnAnalize(TScanResult& result);
    void HourCursor();
    void DefaultCursor();

    // Called when the window closes: a running scan is cancelled and its
    // thread waited for, so nothing of it reaches lists freed afterwards.
    // The progress window is hidden and the cursor restored.
    void CancelAndWait();

    // The thread of the scan in progress; null while no scan runs.
    TThreadDiskAnalize* ScanThread() const { return scanning_ ? thread_.data() : nullptr; }
    bool Scanning() const { return scanning_; }
    bool ReloadPending() const { return reloadPending_; }
    void SetReloadPending() { reloadPending_ = true; }
    const std::string& LastRoot() const { return lastRoot_; }
    // Start-up: the root text of the folder list view before it is set.
    void SetLastRoot(std::string root) { lastRoot_ = std::move(root); }
    bool FolderRescan() const { return folderRescan_; }
    // Whether the last scan whose save ended had its results stored.
    bool Stored() const { return stored_; }
    // Returns once the results of the last scan are stored or refused and
    // the set a drive scan replaced is kept in the drive's history, and the
    // end of that save is reported (a save that failed, a set that could not
    // be kept, lists shown again).
    void WaitForSaveAndReport();
    // What an item command did, to be made to the lists and stored behind
    // the views as a scan's results are (on the save's thread: the window's
    // never copies the lists): applied runs once the lists shown have it,
    // when its save ended; ended right after (stored, or why not).
    struct TChange {
        TResultStore::TSetChange Change;
        std::function<void()> Applied;
        std::function<void(bool stored, const std::string& error)> Ended;
    };
    // Its save starts at once when no save runs; otherwise when the save
    // ends, in the order asked, before a scan that waits starts. The
    // window's thread never waits for a save here.
    void FollowChange(TChange change);
    // Changes waiting for a save to end.
    std::size_t ChangesWaiting() const { return changes_.size(); }
    // The save of a scan's results or of a change runs (or its end is not
    // yet reported).
    bool Saving() const;
    // The thread of that save, for tests that hold it.
    const TSaveRunner& Saver() const { return *saver_; }
    // A scan asked for while a save runs, started when the save ends.
    bool ScanWaiting() const { return waitingScan_.has_value(); }
    // What the tool bar says of the save: that it runs (and what waits for
    // it), or that the results shown are not stored; empty otherwise. The
    // tip says it in full.
    QString SaveStateText() const;
    QString SaveStateTip() const;
    // Arranges the owner's close for after a running save: false when none
    // runs (close now); otherwise the owner is closed again once the save
    // ends, and a message says so when that takes more than a second.
    bool ArrangeCloseAfterSave();
    // That message while it is shown; null otherwise.
    QMessageBox* ClosingMessage() const { return closingMessage_.data(); }

    void SetAsker(TAsker asker) { asker_ = std::move(asker); }
    void SetTeller(TTeller teller) { teller_ = std::move(teller); }
    // Runs on every new analyzer before its thread starts (extra hooks such
    // as BeforeExecute or OnNewPath, for owners and tests that need them).
    void SetAnalyzerSetup(std::function<void(TAnalizeDisk&)> setup) {
        analyzerSetup_ = std::move(setup);
    }

    // The question texts, exactly as the user reads them.
    static QString DriveQuestion(char letter);
    static QString FolderQuestion(const std::string& folder);
    // Asked by a folder rescan when the global lists hold no analysis of the
    // folder's drive: the drive has to be analysed first.
    static QString DriveFirstQuestion(char letter);

    // The question box: caption "?", Yes and No, the warning icon.
    static bool AskWithMessageBox(QWidget* parent, const QString& text);

  Q_SIGNALS:
    // A scan started (true) or ended (false); the drive menu follows it.
    void ScanningChanged(bool scanning);
    // A drive's stored results were loaded: the folder tree's root becomes
    // that drive's root ("X:\").
    void TreeRootChanged(const std::string& driveRoot);
    // The lists are about to be reloaded after a scan: the bar view's
    // settings apply first.
    void ListsReloading();
    // The end of every scan, after the progress window is hidden. stored:
    // the lists hold the scan's results (their save runs behind), so the
    // current folder's listing is to be re-read and every view of it
    // rebuilt. Otherwise (cancelled) the lists are as before and the views
    // need not change.
    void ScanEnded(bool stored);
    // A drive's stored set was loaded (or refused): the lists and their
    // extra lists are what is stored, for the views that show the extra ones.
    void StoredSetLoaded();
    // The set a drive scan replaced was kept in the drive's history (or
    // could not be): what is compared with the results may have changed.
    void HistoryKept();
    // A save started or ended, or what waits for it changed: SaveStateText.
    void SaveStateChanged();
    // A rescan was saved into a set on disk newer than the lists shown: the
    // lists (and the tree's) are now what was stored, to be shown again.
    void StoredSetShown();

  private:
    bool Ask(const QString& text);
    // False, after telling the user, when the drive is no longer mounted.
    bool DriveMounted(char letter);
    void Notify(const std::string& text);
    // Loads the current drive's stored results into the lists; a set that
    // cannot be used is reported (once) and counts as no analysis.
    bool LoadStored();
    QAction* MenuItemFor(QAction* command, const QString& caption, const QString& hint);
    void StartScan(const std::string& path, bool folderRescan);
    void EndScan();
    // The scan's lists become the store's (a rescan merged in) and their
    // save starts.
    void StartSave(TScanResult& result);
    // The end of the save reported: failure, lists shown again, history.
    void ReportSave();
    // The store's wait before a change of its lists (BeforeChange): the
    // save is joined and its outcome given to the store, its report left to
    // the event loop.
    void JoinSaveReportLater();
    bool ListsHoldDrive(char letter) const;
    // Makes the first waiting change and starts its save; false when none
    // waits.
    bool StartNextChange();

    TResultStore& store_;
    TTreeLists& tree_;
    QPointer<QWidget> window_;
    const TCurrentFolder& folder_;
    THooks hooks_;
    TAsker asker_;
    TTeller teller_;
    bool storedRefused_ = false;  // the last load of the drive refused its files
    std::function<void(TAnalizeDisk&)> analyzerSetup_;
    std::unique_ptr<TFormWait> formWait_;
    QAction* acDiskAnalize_ = nullptr;
    QAction* acFolderAnalize_ = nullptr;
    QAction* menuDisk_ = nullptr;
    QAction* menuFolder_ = nullptr;

    QPointer<TThreadDiskAnalize> thread_;
    std::uint64_t scanId_ = 0;  // tells a late hand-off of an abandoned scan apart
    bool scanning_ = false;
    bool reloadPending_ = true;
    std::string lastRoot_ = "c:\\";  // the folder listing's root before any drive is shown
    bool folderRescan_ = false;
    bool stored_ = false;
    TSaveRunner* saver_ = nullptr;  // a child
    // A scan asked for during a save: its path and whether it is a rescan.
    std::optional<std::pair<std::string, bool>> waitingScan_;
    // Changes waiting for the running save.
    std::deque<TChange> changes_;
    std::optional<TChange> running_;  // the change whose save runs
    bool closeAfterSave_ = false;
    QPointer<QMessageBox> closingMessage_;
};
