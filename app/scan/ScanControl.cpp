#include "app/scan/ScanControl.h"

#include <QAction>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include "app/drives/DriveText.h"
#include "app/drives/PlainWarning.h"
#include "app/scan/SaveRunner.h"
#include "app/scan/ScanExclude.h"
#include "app/wait/FormWait.h"
#include "engine/AnalizeDisk.h"
#include "engine/DetachedSave.h"
#include "engine/StoredListText.h"
#include "platform/DriveForm.h"
#include "platform/DriveLetter.h"
#include "platform/DriveTable.h"
#include "platform/NameText.h"

namespace {

// A path with every ASCII letter upper-cased: the form the last root is
// kept in, whose first byte names the drive's files.
std::string UpperAZ(std::string text) {
    for (char& c : text)
        c = UpperDriveLetter(c);
    return text;
}

bool IsBlank(const std::string& text) {
    return text.find_first_not_of(" \t") == std::string::npos;
}

QString FromBytes(const std::string& text) {
    return QString::fromLocal8Bit(text);
}

}  // namespace

TScanControl::TScanControl(TResultStore& store, TTreeLists& tree, QWidget* window,
                           const TCurrentFolder& folder, THooks hooks)
    : store_(store),
      tree_(tree),
      window_(window),
      folder_(folder),
      hooks_(std::move(hooks)),
      formWait_(std::make_unique<TFormWait>()) {
    asker_ = [this](const QString& text) { return AskWithMessageBox(window_, text); };
    teller_ = [this](const QString& text) { ShowPlainWarning(window_, text); };
    if (!hooks_.Mounted)
        hooks_.Mounted = [](char letter) {
            TDriveTable::Refresh();
            return FixedDrive(std::string(1, letter) + ":");
        };

    acDiskAnalize_ = new QAction("Disk analize", this);
    acDiskAnalize_->setObjectName("acDiskAnalize");
    acDiskAnalize_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    acDiskAnalize_->setToolTip("Click to analize only current drive");
    acDiskAnalize_->setStatusTip("Click to analize only current drive");
    connect(acDiskAnalize_, &QAction::triggered, this, [this] { Analize(true); });

    acFolderAnalize_ = new QAction("Folder Analize", this);
    acFolderAnalize_->setObjectName("acFolderAnalize");
    acFolderAnalize_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    acFolderAnalize_->setToolTip("Click to analize only current folder");
    acFolderAnalize_->setStatusTip("Click to analize only current folder");
    connect(acFolderAnalize_, &QAction::triggered, this, [this] { AnalizeFolder(); });

    menuDisk_ = MenuItemFor(acDiskAnalize_, "Disk", "Click to start analizing disk drive.");
    menuFolder_ = MenuItemFor(acFolderAnalize_, "Folder", "Click to rescan folder.");

    connect(formWait_.get(), &TFormWait::CancelClicked, this, [this] {
        if (TThreadDiskAnalize* thread = ScanThread())
            thread->SetCancel(true);
    });

    saver_ = new TSaveRunner(this);
    connect(saver_, &TSaveRunner::Ended, this, [this] { WaitForSaveAndReport(); });
    store_.BeforeChange = [this] { JoinSaveReportLater(); };
}

TScanControl::~TScanControl() {
    // Nobody is told any more: the owner's parts connected to the signals
    // may be gone already. A save still running is waited for.
    blockSignals(true);
    teller_ = nullptr;
    // Lists queued behind the save still come in; the owner that would show
    // them is going.
    store_.DropReplacementCallbacks();
    // Changes still waiting are stored all the same; nothing is shown of them.
    if (running_)
        *running_ = TChange();
    for (TChange& change : changes_) {
        change.Applied = nullptr;
        change.Ended = nullptr;
    }
    CancelAndWait();
    store_.BeforeChange = nullptr;
    // A thread that ended but whose deferred deletion has not run yet.
    if (thread_) {
        thread_->wait();
        delete thread_.data();
    }
}

QAction* TScanControl::MenuItemFor(QAction* command, const QString& caption, const QString& hint) {
    auto* item = new QAction(caption, this);
    item->setStatusTip(hint);
    item->setToolTip(hint);
    // The menu shows the command's key. The key itself stays with the
    // command: two window-wide shortcuts on one key would cancel each other
    // out, so the item's copy only acts while its menu is open.
    item->setShortcut(command->shortcut());
    item->setShortcutContext(Qt::WidgetShortcut);
    item->setEnabled(command->isEnabled());
    connect(item, &QAction::triggered, command, &QAction::trigger);
    connect(command, &QAction::enabledChanged, item, &QAction::setEnabled);
    return item;
}

QString TScanControl::DriveQuestion(char letter) {
    return QString("Analize drive \"%1:\\\" ?       ").arg(QChar(letter));
}

QString TScanControl::FolderQuestion(const std::string& folder) {
    // The folder's drive form keeps a few bytes escaped; the question shows
    // the name itself.
    return "Analize folder \"" + VisibleName(UnescapeName(folder)) + " \" ?";
}

QString TScanControl::DriveFirstQuestion(char letter) {
    return QString("Drive \"%1:\\\" must be analized first. Analize drive \"%1:\\\" ?       ")
        .arg(QChar(letter));
}

bool TScanControl::AskWithMessageBox(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Warning, "?", text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setTextFormat(Qt::PlainText);  // a folder name is never markup
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

bool TScanControl::Ask(const QString& text) {
    return asker_ && asker_(text);
}

bool TScanControl::DriveMounted(char letter) {
    if (hooks_.Mounted(letter))
        return true;
    if (teller_)
        teller_(FromBytes(DriveNotMountedText(letter)));
    return false;
}

void TScanControl::Notify(const std::string& text) {
    if (teller_ && !text.empty())
        teller_(FromBytes(text));
}

bool TScanControl::LoadStored() {
    storedRefused_ = !store_.LoadData(tree_);
    Q_EMIT StoredSetLoaded();
    Q_EMIT SaveStateChanged();  // a load clears "not stored"
    Notify(store_.TakeLoadNotice());
    return !storedRefused_;
}

void TScanControl::HourCursor() {
    if (window_)
        window_->setCursor(Qt::WaitCursor);
}

void TScanControl::DefaultCursor() {
    if (window_)
        window_->unsetCursor();
}

bool TScanControl::Analize(bool force) {
    if (scanning_ || waitingScan_)
        return false;  // one scan at a time
    const std::string root = folder_.CurrentFolder();
    const std::string p = UpperAZ(root);
    if (p.empty() || lastRoot_.empty() || p[0] != UpperDriveLetter(lastRoot_[0]))
        reloadPending_ = true;
    lastRoot_ = p;
    if (IsBlank(p) || p.find(':') == std::string::npos)
        return false;
    store_.SetFiles(p);
    // Lists of this drive being saved are what its files will hold: they are
    // not read again, nor is the drive offered as one without results.
    const bool beingSaved = Saving() && ListsHoldDrive(p[0]);
    if (reloadPending_) {
        storedRefused_ = false;
        if (store_.AnalizeFiExists() && !beingSaved)
            LoadStored();
        reloadPending_ = false;
        Q_EMIT TreeRootChanged(std::string(1, root[0]) + ":\\");
    }
    // Results that could not be used count as none: the drive is offered.
    if ((!store_.AnalizeFiExists() && !beingSaved) || storedRefused_ || force) {
        if (!DriveMounted(p[0]))
            return false;
        if (Ask(DriveQuestion(p[0]))) {
            HourCursor();
            AnalizeInit(std::string(1, p[0]) + ":\\");
            return true;
        }
    }
    return false;
}

void TScanControl::AnalizeInit(const std::string& path) {
    StartScan(path, false);
}

void TScanControl::AnalizeFolder() {
    if (scanning_ || waitingScan_)
        return;
    // The real path is scanned: names differ by case on this file system, so
    // an upper-cased copy could name another folder or none.
    const std::string folder = folder_.CurrentFolder();
    const std::string f = UpperAZ(folder);
    lastRoot_ = f;
    if (IsBlank(f) || f.find(':') == std::string::npos || !DriveMounted(f[0]))
        return;
    store_.SetFiles(f);
    if (!ListsHoldDrive(f[0])) {
        // Merging into another drive's lists (or the empty seed) and writing
        // them under this drive's names would store a wrong analysis.
        if (Ask(DriveFirstQuestion(f[0]))) {
            HourCursor();
            AnalizeInit(std::string(1, f[0]) + ":\\");
        }
        return;
    }
    if (Ask(FolderQuestion(folder)))
        StartScan(folder, true);
}

bool TScanControl::ListsHoldDrive(char letter) const {
    const char held = ListsDriveLetter(store_.GlobalDirs());
    return held != 0 && held == UpperDriveLetter(letter);
}

void TScanControl::StartScan(const std::string& path, bool folderRescan) {
    if (scanning_ || closeAfterSave_)
        return;
    if (Saving()) {
        // Its results would replace the lists the save reads: it starts
        // once they are stored.
        waitingScan_ = std::make_pair(path, folderRescan);
        DefaultCursor();
        Q_EMIT SaveStateChanged();
        return;
    }
    const std::uint64_t id = ++scanId_;
    auto* thread = new TThreadDiskAnalize(this, [this, id](std::shared_ptr<TScanResult> result) {
        // A scan abandoned by CancelAndWait has already been wound up.
        if (id == scanId_ && scanning_)
            OnAnalize(*result);
    });
    thread->Analyzer().Directory = path;
    thread->Analyzer().Recurse = true;
    thread->Analyzer().Exclude = ScanExcludeRules(store_.GlobalExtras(), path, folderRescan);
    if (analyzerSetup_)
        analyzerSetup_(thread->Analyzer());
    thread_ = thread;
    folderRescan_ = folderRescan;
    scanning_ = true;
    acDiskAnalize_->setEnabled(false);
    acFolderAnalize_->setEnabled(false);
    Q_EMIT ScanningChanged(true);

    // Read on the GUI thread a few times a second; the thread object may be
    // gone already when the last tick comes.
    QPointer<TThreadDiskAnalize> running(thread);
    formWait_->SetCountsSource([running] {
        if (!running)
            return TWaitCounts{0, 0, 0, false, false};
        const TScanProgress p = running->Progress();
        return TWaitCounts{p.Folders, p.Files, p.Bytes, true, p.FilesKnown};
    });
    formWait_->ShowWait();
    thread->Start();
}

void TScanControl::OnAnalize(TScanResult& result) {
    // Scans wait for saves: one that ended is reported before this scan's.
    WaitForSaveAndReport();
    const bool shown = !result.Cancelled;
    if (shown) {
        StartSave(result);
        // The lists are the walk's, shown before they are stored.
        Q_EMIT ListsReloading();
        storedRefused_ = false;
        store_.LoadTree(tree_);
    }
    EndScan();
    reloadPending_ = true;
    Q_EMIT ScanEnded(shown);
    DefaultCursor();
    Notify(result.Failure);
}

void TScanControl::StartSave(TScanResult& result) {
    // The names of the drive that was scanned, whatever happened since.
    store_.SetFiles(UpperAZ(result.Directory));
    // A rescan is merged into the lists loaded when the drive was shown; the
    // save merges it into what was stored when the scanner or another window
    // stored the drive since: never are older lists written over a newer
    // set. A drive scan's save reads the set it replaces under its lock and
    // keeps it in the drive's history afterwards. The walk's extra lists go
    // with the three: saved with a drive scan's set, merged by a rescan.
    std::unique_ptr<TDetachedSave> job =
        folderRescan_ ? TDetachedSave::BeginFolderRescan(store_, std::move(result.Set))
                      : TDetachedSave::BeginDriveScan(store_, std::move(result.Set));
    stored_ = false;
    saver_->Start(std::move(job));
    Q_EMIT SaveStateChanged();
}

bool TScanControl::Saving() const {
    return saver_->JobUnreported();
}

void TScanControl::FollowChange(TChange change) {
    changes_.push_back(std::move(change));
    if (!Saving())
        StartNextChange();
    else
        Q_EMIT SaveStateChanged();
}

bool TScanControl::StartNextChange() {
    if (changes_.empty())
        return false;
    TChange next = std::move(changes_.front());
    changes_.pop_front();
    // The change is made and stored on the save's thread; the lists with
    // it are shown when it ends.
    std::unique_ptr<TDetachedSave> job = TDetachedSave::BeginChange(store_, std::move(next.Change));
    running_ = std::move(next);
    saver_->Start(std::move(job));
    Q_EMIT SaveStateChanged();
    return true;
}

void TScanControl::JoinSaveReportLater() {
    // Reported later, from the event loop (TSaveRunner::Ended): not from
    // inside the store's operation that waited.
    saver_->Join();
}

void TScanControl::WaitForSaveAndReport() {
    saver_->Join();
    ReportSave();
}

void TScanControl::ReportSave() {
    const std::unique_ptr<TDetachedSave> job = saver_->TakeFinished();
    if (!job)
        return;
    if (job->Change()) {
        // The lists have the change now, stored or not; a failure is told
        // where its command was.
        const TChange ran = std::move(running_).value_or(TChange());
        running_.reset();
        if (ran.Applied)
            ran.Applied();
        if (ran.Ended)
            ran.Ended(job->Saved(), job->Error());
    } else {
        stored_ = job->Saved();
    }
    if (!job->Saved()) {
        // Nothing stored changed; the lists shown are marked as not stored.
        // A stored set that could not be used is told as a sentence of its own.
        std::string why = job->Error();
        if (!why.empty() && why.back() == '.')
            why.pop_back();
        if (!job->Change())
            Notify("The results of the scan could not be saved: " + why +
                   ". The results stored before are kept.");
    } else if (job->ShownAgain()) {
        Q_EMIT ListsReloading();
        store_.LoadTree(tree_);
        Notify(store_.TakeLoadNotice());
        Q_EMIT StoredSetShown();
    }
    if (job->HistoryTried()) {
        Q_EMIT HistoryKept();
        Notify(job->HistoryNote());
    }
    // Changes made behind this save are stored before the window closes
    // or a waiting scan starts.
    if (StartNextChange())
        return;
    delete closingMessage_.data();  // shown without a loop of its own
    Q_EMIT SaveStateChanged();
    if (closeAfterSave_) {
        closeAfterSave_ = false;
        if (window_)
            window_->close();
        return;
    }
    if (waitingScan_) {
        const auto [path, folderRescan] = *waitingScan_;
        waitingScan_.reset();
        HourCursor();
        StartScan(path, folderRescan);
    }
}

QString TScanControl::SaveStateText() const {
    // Short: the tool bar gives it the room left of the path.
    if (Saving()) {
        if (closeAfterSave_)
            return QStringLiteral("Saving\u2026 closing after");
        if (waitingScan_)
            return QStringLiteral("Saving\u2026 next scan waits");
        return QStringLiteral("Saving\u2026");
    }
    if (store_.ListsUnsaved())
        return QStringLiteral("Results not stored");
    return {};
}

QString TScanControl::SaveStateTip() const {
    if (Saving()) {
        QString tip = running_ ? QStringLiteral(
                                     "What Move to Trash, Rename or Paste changed is being "
                                     "stored.")
                               : QStringLiteral("The results of the scan are being saved.");
        if (closeAfterSave_)
            tip += QStringLiteral(" The window closes when they are stored.");
        else if (waitingScan_)
            tip += QStringLiteral(" The next scan starts when they are stored.");
        return tip;
    }
    if (store_.ListsUnsaved())
        return QStringLiteral(
            "The results shown could not be saved: the stored results are "
            "those from before.");
    return {};
}

bool TScanControl::ArrangeCloseAfterSave() {
    if (!Saving())
        return false;
    if (closeAfterSave_)
        return true;
    closeAfterSave_ = true;
    waitingScan_.reset();
    Q_EMIT SaveStateChanged();
    QTimer::singleShot(1000, this, [this] {
        if (!closeAfterSave_ || closingMessage_)
            return;
        auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Cobaltquarry"),
                                    QStringLiteral("The results of the scan are being saved. The "
                                                   "window closes when they are stored."),
                                    QMessageBox::NoButton, window_);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowModality(Qt::NonModal);
        box->setTextFormat(Qt::PlainText);
        closingMessage_ = box;
        box->show();
    });
    return true;
}

void TScanControl::EndScan() {
    folderRescan_ = false;
    formWait_->HideWait();
    formWait_->SetCountsSource({});
    scanning_ = false;
    acDiskAnalize_->setEnabled(true);
    acFolderAnalize_->setEnabled(true);
    Q_EMIT ScanningChanged(false);
}

void TScanControl::CancelAndWait() {
    // Changes waiting behind a save start when it ends: each is stored.
    while (Saving())
        WaitForSaveAndReport();
    waitingScan_.reset();
    if (!scanning_)
        return;
    if (thread_) {
        thread_->SetCancel(true);
        thread_->wait();
    }
    EndScan();
    reloadPending_ = true;
    DefaultCursor();
}

// The meta-object code is compiled with this file rather than on its own.
#include "moc_ScanControl.cpp"
