#include "app/cleanup/CleanupsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

}  // namespace

TCleanupsDialog::TCleanupsDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("Cleanups");
    setWindowTitle(QStringLiteral("Cleanups"));
    std::string problem;
    LoadCleanups(actions_, problem);
    Tell = [this](const QString& text) {
        QMessageBox box(QMessageBox::Warning, windowTitle(), text, QMessageBox::Ok, this);
        box.setTextFormat(Qt::PlainText);
        box.exec();
    };
    list_ = new QListWidget(this);
    list_->setObjectName("CleanupList");
    title_ = new QLineEdit(this);
    shell_ =
        new QCheckBox(QStringLiteral("Run the command with &sh (the items are $1, $2, ...)"), this);
    program_ = new QLineEdit(this);
    arguments_ = new QPlainTextEdit(this);
    arguments_->setToolTip(QStringLiteral(
        "One argument a line; %p is the item's path, %n its name, %d its folder, %% a percent "
        "sign. Each line is passed as one argument, whatever the names hold."));
    applies_ = new QComboBox(this);
    applies_->addItems(
        {QStringLiteral("Files"), QStringLiteral("Folders"), QStringLiteral("Files and folders")});
    confirm_ = new QCheckBox(QStringLiteral("As&k before running"), this);
    rescan_ = new QComboBox(this);
    rescan_->addItems({QStringLiteral("Nothing"), QStringLiteral("The item's folder"),
                       QStringLiteral("The folder above it")});
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Title:"), title_);
    form->addRow(QString(), shell_);
    form->addRow(QStringLiteral("&Program or command:"), program_);
    form->addRow(QStringLiteral("A&rguments:"), arguments_);
    form->addRow(QStringLiteral("A&pplies to:"), applies_);
    form->addRow(QString(), confirm_);
    form->addRow(QStringLiteral("Measure &again:"), rescan_);
    auto* add = new QPushButton(QStringLiteral("&New"), this);
    auto* remove = new QPushButton(QStringLiteral("Re&move"), this);
    connect(add, &QPushButton::clicked, this, [this] { AddAction(); });
    connect(remove, &QPushButton::clicked, this, [this] { RemoveAction(); });
    auto* side = new QVBoxLayout;
    side->addWidget(list_);
    auto* sideButtons = new QHBoxLayout;
    sideButtons->addWidget(add);
    sideButtons->addWidget(remove);
    side->addLayout(sideButtons);
    auto* top = new QHBoxLayout;
    top->addLayout(side, 1);
    top->addLayout(form, 2);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(box, &QDialogButtonBox::accepted, this, &TCleanupsDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(box);
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (filling_)
            return;
        KeepFields();
        ShowAction(row);
    });
    connect(list_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        const int row = list_->row(item);
        if (!filling_ && row >= 0 && row < int(actions_.size()))
            actions_[row].Enabled = item->checkState() == Qt::Checked;
    });
    if (!problem.empty())
        Tell(QString::fromStdString(problem));
    FillList();
    list_->setCurrentRow(actions_.empty() ? -1 : 0);
    ShowAction(list_->currentRow());
}

void TCleanupsDialog::FillList() {
    filling_ = true;
    list_->clear();
    for (const TCleanupAction& action : actions_) {
        auto* item = new QListWidgetItem(Text(action.Title), list_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(action.Enabled ? Qt::Checked : Qt::Unchecked);
    }
    filling_ = false;
}

void TCleanupsDialog::ShowAction(int row) {
    shown_ = row >= 0 && row < int(actions_.size()) ? row : -1;
    const TCleanupAction action = shown_ >= 0 ? actions_[shown_] : TCleanupAction{};
    for (QWidget* field : std::initializer_list<QWidget*>{title_, shell_, program_, arguments_,
                                                          applies_, confirm_, rescan_})
        field->setEnabled(shown_ >= 0);
    title_->setText(Text(action.Title));
    shell_->setChecked(action.Shell);
    program_->setText(Text(action.Program));
    QStringList lines;
    for (const std::string& argument : action.Arguments)
        lines << Text(argument);
    arguments_->setPlainText(lines.join(QLatin1Char('\n')));
    applies_->setCurrentIndex(static_cast<int>(action.Applies));
    confirm_->setChecked(action.Confirm);
    rescan_->setCurrentIndex(static_cast<int>(action.Rescan));
}

void TCleanupsDialog::KeepFields() {
    if (shown_ < 0 || shown_ >= int(actions_.size()))
        return;
    TCleanupAction& action = actions_[shown_];
    action.Title = title_->text().toStdString();
    action.Shell = shell_->isChecked();
    action.Program = program_->text().toStdString();
    action.Arguments.clear();
    const QString text = arguments_->toPlainText();
    if (!text.isEmpty())
        for (const QString& line : text.split(QLatin1Char('\n')))
            action.Arguments.push_back(line.toStdString());
    action.Applies = static_cast<TCleanupAction::TApplies>(applies_->currentIndex());
    action.Confirm = confirm_->isChecked();
    action.Rescan = static_cast<TCleanupAction::TRescan>(rescan_->currentIndex());
    if (QListWidgetItem* item = list_->item(shown_)) {
        filling_ = true;
        item->setText(title_->text());
        filling_ = false;
    }
}

const std::vector<TCleanupAction>& TCleanupsDialog::Actions() {
    KeepFields();
    return actions_;
}

void TCleanupsDialog::AddAction() {
    KeepFields();
    TCleanupAction action;
    action.Title = "New cleanup";
    action.Program = "echo";
    action.Arguments = {"%p"};
    actions_.push_back(action);
    FillList();
    list_->setCurrentRow(int(actions_.size()) - 1);
    ShowAction(list_->currentRow());
}

void TCleanupsDialog::RemoveAction() {
    if (shown_ < 0)
        return;
    actions_.erase(actions_.begin() + shown_);
    shown_ = -1;
    FillList();
    list_->setCurrentRow(actions_.empty() ? -1 : 0);
    ShowAction(list_->currentRow());
}

void TCleanupsDialog::accept() {
    Actions();
    for (const TCleanupAction& action : actions_)
        if (action.Title.empty() || action.Program.empty()) {
            Tell(QStringLiteral("Every cleanup needs a title and a program or command."));
            return;
        }
    std::string problem;
    if (!SaveCleanups(actions_, problem)) {
        Tell(QStringLiteral("The cleanups could not be stored: %1")
                 .arg(QString::fromStdString(problem)));
        return;
    }
    QDialog::accept();
}
