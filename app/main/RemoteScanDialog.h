#pragma once
// "Open remote scan...": which machine (anything ssh takes as a
// destination), which port (ssh's own choice when left at "default"),
// which folder there and which scanner of the server's to run.
#include <QDialog>

#include "platform/RemoteCommand.h"

class QComboBox;
class QLineEdit;
class QSpinBox;

class TRemoteScanDialog : public QDialog {
  public:
    explicit TRemoteScanDialog(QWidget* parent = nullptr);

    // The request as filled in; the dialog starts from Request.
    TRemoteRequest Request() const;
    void SetRequest(const TRemoteRequest& request);

    QLineEdit* Host = nullptr;
    QSpinBox* Port = nullptr;
    QLineEdit* Folder = nullptr;
    QComboBox* Tool = nullptr;

  private:
    void UpdateOk();
};
