#include "app/shell/ItemPropertiesDialog.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QVBoxLayout>

#include "views/tree/ShellFolder.h"

namespace {

QString PermissionText(QFileDevice::Permissions p) {
    const std::pair<QFileDevice::Permission, char> bits[] = {
        {QFileDevice::ReadOwner, 'r'},  {QFileDevice::WriteOwner, 'w'},
        {QFileDevice::ExeOwner, 'x'},   {QFileDevice::ReadGroup, 'r'},
        {QFileDevice::WriteGroup, 'w'}, {QFileDevice::ExeGroup, 'x'},
        {QFileDevice::ReadOther, 'r'},  {QFileDevice::WriteOther, 'w'},
        {QFileDevice::ExeOther, 'x'}};
    QString text;
    for (const auto& [bit, letter] : bits)
        text += (p & bit) ? QLatin1Char(letter) : QLatin1Char('-');
    return text;
}

QString SizeText(const TShellFolder& item) {
    if (item.IsFolder())
        return QStringLiteral("(folder)");
    return QStringLiteral("%1 bytes").arg(QLocale().toString(static_cast<qlonglong>(item.Size())));
}

}  // namespace

TItemPropertiesDialog::TItemPropertiesDialog(const TShellFolder& item, QWidget* parent)
    : QDialog(parent), form_(new QFormLayout) {
    setWindowTitle(QStringLiteral("Properties of %1").arg(item.DisplayName()));
    const QFileInfo info(QFile::decodeName(QByteArray::fromStdString(item.NativePath())));
    AddField(QStringLiteral("Name"), item.DisplayName());
    AddField(QStringLiteral("Type"), item.TypeText());
    AddField(QStringLiteral("Location"), info.absolutePath());
    AddField(QStringLiteral("Size"), SizeText(item));
    AddField(QStringLiteral("Modified"), item.DateText());
    AddField(QStringLiteral("Owner"), info.owner());
    AddField(QStringLiteral("Permissions"), PermissionText(info.permissions()));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form_);
    layout->addWidget(buttons);
}

void TItemPropertiesDialog::AddField(const QString& caption, const QString& value) {
    auto* label = new QLabel(value);
    label->setObjectName(caption);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form_->addRow(caption + QLatin1Char(':'), label);
}

QString TItemPropertiesDialog::Field(const QString& caption) const {
    const auto* label = findChild<QLabel*>(caption);
    return label ? label->text() : QString();
}

TItemPropertiesDialog* ShowItemProperties(QWidget* owner, const TShellFolder& item) {
    auto* dialog = new TItemPropertiesDialog(item, owner);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    return dialog;
}
