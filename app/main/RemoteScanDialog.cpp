#include "app/main/RemoteScanDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

// The choices in the order shown, with the scanner each one runs.
const std::pair<const char*, TRemoteTool> kTools[] = {
    {"First found", TRemoteTool::FirstFound},
    {"cobaltquarry-scan", TRemoteTool::Ours},
    {"ncdu", TRemoteTool::Ncdu},
    {"gdu", TRemoteTool::Gdu},
};

}  // namespace

TRemoteScanDialog::TRemoteScanDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("RemoteScanDialog");
    setWindowTitle(QStringLiteral("Open remote scan"));
    Host = new QLineEdit(this);
    Host->setObjectName("edRemoteHost");
    Host->setPlaceholderText(QStringLiteral("server, user@server or an ssh alias"));
    Host->setAccessibleName(QStringLiteral("Host"));
    Port = new QSpinBox(this);
    Port->setObjectName("edRemotePort");
    Port->setRange(0, 65535);
    Port->setSpecialValueText(QStringLiteral("default"));
    Port->setAccessibleName(QStringLiteral("Port"));
    Folder = new QLineEdit(QStringLiteral("/"), this);
    Folder->setObjectName("edRemoteFolder");
    Folder->setAccessibleName(QStringLiteral("Folder"));
    Tool = new QComboBox(this);
    Tool->setObjectName("cbRemoteTool");
    Tool->setAccessibleName(QStringLiteral("Scanner on the server"));
    for (const auto& [caption, tool] : kTools)
        Tool->addItem(QString::fromLatin1(caption), static_cast<int>(tool));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Host:"), Host);
    form->addRow(QStringLiteral("&Port:"), Port);
    form->addRow(QStringLiteral("&Folder:"), Folder);
    form->addRow(QStringLiteral("&Scanner:"), Tool);
    auto* note = new QLabel(
        QStringLiteral("The scan runs on the server with its own scanner, through your ssh "
                       "(its config, keys and agent); passwords are never asked here."),
        this);
    note->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Scan"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(buttons);
    connect(Host, &QLineEdit::textChanged, this, &TRemoteScanDialog::UpdateOk);
    connect(Folder, &QLineEdit::textChanged, this, &TRemoteScanDialog::UpdateOk);
    UpdateOk();
}

void TRemoteScanDialog::UpdateOk() {
    auto* buttons = findChild<QDialogButtonBox*>();
    buttons->button(QDialogButtonBox::Ok)
        ->setEnabled(!Host->text().trimmed().isEmpty() && !Folder->text().isEmpty());
}

TRemoteRequest TRemoteScanDialog::Request() const {
    TRemoteRequest request;
    request.Host = Host->text().trimmed().toStdString();
    request.Port = Port->value();
    request.Folder = QFile::encodeName(Folder->text()).toStdString();
    request.Tool = static_cast<TRemoteTool>(Tool->currentData().toInt());
    return request;
}

void TRemoteScanDialog::SetRequest(const TRemoteRequest& request) {
    Host->setText(QString::fromStdString(request.Host));
    Port->setValue(request.Port);
    Folder->setText(QFile::decodeName(QByteArray::fromStdString(request.Folder)));
    Tool->setCurrentIndex(Tool->findData(static_cast<int>(request.Tool)));
}
