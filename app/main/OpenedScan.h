#pragma once
// A scan from an export file (ncdu, gdu or cobaltquarry-scan, perhaps of
// another machine), shown in the main window instead of a drive: read on a
// worker thread behind a progress box, then installed as a virtual drive
// under a letter no drive uses, until the window returns to a drive.
// Nothing of it is on this machine, so the window shows it read-only.
#include <QDateTime>
#include <QString>
#include <memory>
#include <string>

#include "engine/ImportedScan.h"
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
    void Close();
    bool IsOpen() const { return scope_ != nullptr; }

    // "Z:\": the folder the window shows first.
    std::string Root() const;
    const TNcduImport& Result() const { return scan_.Result; }
    // The scan's lists move into the window's results (once, after Open); no
    // result files are named, so nothing of it is ever stored.
    void FillStore(TResultStore& store, TTreeLists& tree);
    // The scanned folder as the user knows it ("/srv/data").
    QString RootCaption() const;
    // Where a folder of the scan ("Z:\a\b") was, and in which file, for the
    // tool bar: "scan.json (read-only): /srv/data/a/b, scanned <when>".
    QString Where(const std::string& folder) const;

    // The file chooser of "Open scan file..."; empty when cancelled.
    static QString AskForFile(QWidget* owner);
    // A read that failed; nothing for an empty text (a cancel).
    static void TellError(QWidget* owner, const QString& error);

  private:
    TImportedScan scan_;
    std::unique_ptr<TScopedVirtualDrive> scope_;
    QString fileName_;
    char letter_ = 'Z';
};
