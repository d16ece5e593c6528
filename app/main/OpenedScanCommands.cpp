#include "app/main/OpenedScanCommands.h"

#include <QAction>

#include "app/main/FolderPathLabel.h"
#include "app/main/OpenedScan.h"
#include "app/main/RemoteScanDialog.h"
#include "engine/ResultStore.h"
#include "platform/RemoteCommand.h"
#include "views/tree/ShellListModel.h"

TOpenedScanCommands::TOpenedScanCommands(TParts parts)
    : parts_(std::move(parts)), opened_(std::make_unique<TOpenedScan>()) {}

TOpenedScanCommands::~TOpenedScanCommands() = default;

void TOpenedScanCommands::OpenScanFile(const QString& file) {
    QWidget* owner = parts_.Owner;
    const QString chosen = file.isEmpty() ? TOpenedScan::AskForFile(owner) : file;
    QString error;
    if (chosen.isEmpty()) {
        return;
    }
    if (!opened_->Open(chosen, owner, error)) {
        TOpenedScan::TellError(owner, error);
        return;
    }
    ShowOpenedScan();
}

void TOpenedScanCommands::OpenRemoteScan(const TRemoteRequest* request) {
    QWidget* owner = parts_.Owner;
    TRemoteRequest asked;
    if (request == nullptr) {
        TRemoteScanDialog dialog(owner);
        if (remoteAsked_)
            dialog.SetRequest(*remoteAsked_);
        if (dialog.exec() != QDialog::Accepted)
            return;
        asked = dialog.Request();
        remoteAsked_ = std::make_unique<TRemoteRequest>(asked);
        request = &asked;
    }
    QString error;
    if (!opened_->OpenRemote(*request, owner, error)) {
        TOpenedScan::TellError(owner, error, QStringLiteral("Open remote scan"));
        return;
    }
    ShowOpenedScan();
}

void TOpenedScanCommands::SaveScanAs(const QString& file) {
    if (!opened_->CanSave())
        return;
    const QString chosen = file.isEmpty() ? opened_->AskForSaveFile(parts_.Owner) : file;
    QString error;
    if (!chosen.isEmpty() && !opened_->SaveAs(chosen, error))
        TOpenedScan::TellError(parts_.Owner, error, QStringLiteral("Save scan as"));
}

bool TOpenedScanCommands::Shows() const {
    return opened_->IsOpen();
}

void TOpenedScanCommands::ShowOpenedScan() {
    // A save of the lists shown before may still run behind the views: the
    // scan's lists replace them when it ends, without the window waiting.
    opened_->FillStore(*parts_.Store, *parts_.Tree, [this] {
        if (!Shows())
            return;  // closed again before its lists came in
        // Nothing of it is on this machine: no scan, no rescan.
        parts_.Scan->setEnabled(false);
        parts_.Rescan->setEnabled(false);
        parts_.ShowRoot(opened_->Root());
        parts_.SaveScan->setEnabled(opened_->CanSave());
        parts_.ShowDiscoverData();
    });
}

void TOpenedScanCommands::LeaveOpenedScan() {
    if (!Shows()) {
        return;
    }
    opened_->Close();
    parts_.SaveScan->setEnabled(false);
    parts_.Store->CreateSLs();
    *parts_.Tree = TTreeLists{};
    parts_.Scan->setEnabled(true);
    parts_.Rescan->setEnabled(true);
    parts_.ShowDiscoverData();
}

void TOpenedScanCommands::ShowWhere() {
    TFolderPathLabel& where = *parts_.Where;
    if (Shows()) {
        where.SetText(opened_->Where(parts_.Bar->Root()));
    } else {
        where.SetPath(parts_.Bar->RootFolder().NativePath());
    }
    // Which size the numbers are: said only when it is not the file size.
    if (parts_.Store->DiskUsage) {
        where.SetText(where.Text() + (parts_.Store->DiskUsageKnown()
                                          ? QStringLiteral("  \u2014 disk usage")
                                          : QStringLiteral("  \u2014 disk usage not known until "
                                                           "the next scan")));
    }
}
