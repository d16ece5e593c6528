#pragma once
// A scan from an export file (ncdu, gdu or cobaltquarry-scan, perhaps of
// another machine), shown in the main window instead of a drive: read on a
// worker thread behind a progress box, then installed as a virtual drive
// under a letter no drive uses, until the window returns to a drive.
// Nothing of it is on this machine, so the window shows it read-only.
#include <QDateTime>
#include <QString>
#include <QTemporaryFile>
#include <functional>
#include <memory>
#include <string>

#include "engine/ImportedScan.h"
#include "engine/RemoteScan.h"
#include "engine/ResultStore.h"
#include "platform/VirtualDrive.h"

class QWidget;

class TOpenedScan {
  public:
    TOpenedScan();
    ~TOpenedScan();

    // Reads the file; on success the scan is open (an earlier one closed).
    // False when the user cancelled or the file cannot be used; the reason
    // is in Error (empty for a cancel).
    bool Open(const QString& file, QWidget* owner, QString& error);
    // Runs the scan on another machine over ssh (COBALTQUARRY_SSH, "ssh"
    // when unset) and reads it as it arrives, the same way.
    bool OpenRemote(const TRemoteRequest& request, QWidget* owner, QString& error);
    // A remote scan's export as received, for "Save scan as...": kept in the
    // user's cache folder while the scan is open. A scan whose copy could
    // not be kept can still be asked to save, and says why it cannot.
    bool CanSave() const { return IsOpen() && remote_; }
    // Copies it to File, replacing it only once the copy is whole; false
    // with a message.
    bool SaveAs(const QString& file, QString& error) const;
    void Close();
    bool IsOpen() const { return scope_ != nullptr; }

    // "Z:\": the folder the window shows first.
    std::string Root() const;
    const TNcduImport& Result() const { return scan_.Result; }
    // Every folder and item of the scan (null when none is open).
    std::shared_ptr<const TImportedTree> Items() const { return scan_.Items; }
    // The scan's lists move into the window's results (once, after Open); no
    // result files are named, so nothing of it is ever stored. While a save
    // of the lists shown before runs, they move in when it ends
    // (TResultStore::ReplaceGlobal); then tree is loaded and shown runs.
    void FillStore(TResultStore& store, TTreeLists& tree, std::function<void()> shown = {});
    // The scanned folder as the user knows it ("/srv/data").
    QString RootCaption() const;
    // Where a folder of the scan ("Z:\a\b") was, and in which file, for the
    // tool bar: "scan.json (read-only): /srv/data/a/b, scanned <when>".
    QString Where(const std::string& folder) const;

    // The file chooser of "Open scan file..."; empty when cancelled.
    static QString AskForFile(QWidget* owner);
    // The file chooser of "Save scan as...", offering a name from the scan.
    QString AskForSaveFile(QWidget* owner) const;
    // A read or save that failed, in a box titled as the command; nothing
    // for an empty text (a cancel).
    static void TellError(QWidget* owner, const QString& error,
                          const QString& title = QStringLiteral("Open scan file"));

  private:
    void Install(TImportedScan scan, char letter, const QString& name,
                 std::unique_ptr<QTemporaryFile> received);

    TImportedScan scan_;
    std::unique_ptr<TScopedVirtualDrive> scope_;
    QString fileName_;
    // An empty file in the cache folder to keep a remote scan's export in;
    // null, with problem, when none can be made.
    static std::unique_ptr<QTemporaryFile> MakeReceivedCopy(std::string& problem);

    std::unique_ptr<QTemporaryFile> received_;  // a remote scan's export, removed with it
    bool remote_ = false;
    QString keepProblem_;  // why a remote scan's export was not kept
    char letter_ = 'Z';
};
