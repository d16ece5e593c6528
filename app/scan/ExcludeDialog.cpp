#include "app/scan/ExcludeDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/drives/PlainWarning.h"
#include "engine/ExcludeRules.h"

namespace {

// Patterns are bytes; the list shows them as the file names they match.
QString Shown(const std::string& pattern) {
    return QString::fromLocal8Bit(pattern.data(), static_cast<qsizetype>(pattern.size()));
}

std::string Bytes(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

}  // namespace

TExcludeDialog::TExcludeDialog(QWidget* parent, char letter, const TDriveExcludeRules& kept,
                               const TDriveExcludeRules& stored)
    : QDialog(parent), letter_(letter), stored_(stored) {
    setObjectName("ExcludeDialog");
    setWindowTitle(QString("Exclude on drive %1:").arg(letter));
    auto* intro = new QLabel(
        "Items whose path, or any part of it after a /, matches one of these shell patterns "
        "are left out of the drive's scans: an excluded folder is not entered, an excluded "
        "file not counted. * and ? also match /.",
        this);
    intro->setWordWrap(true);
    list_ = new QListWidget(this);
    list_->setObjectName("excludePatterns");
    for (const std::string& p : kept.Patterns)
        list_->addItem(Shown(p));
    auto* add = new QPushButton("&Add\u2026", this);
    add->setObjectName("excludeAdd");
    edit_ = new QPushButton("&Edit\u2026", this);
    edit_->setObjectName("excludeEdit");
    remove_ = new QPushButton("&Remove", this);
    remove_->setObjectName("excludeRemove");
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(edit_);
    buttons->addWidget(remove_);
    buttons->addStretch();
    auto* middle = new QHBoxLayout;
    middle->addWidget(list_);
    middle->addLayout(buttons);
    caches_ = new QCheckBox("Leave out folders tagged as &caches (CACHEDIR.TAG)", this);
    caches_->setObjectName("excludeCaches");
    caches_->setChecked(kept.Caches);
    note_ = new QLabel(this);
    note_->setObjectName("excludeNote");
    note_->setWordWrap(true);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    again_ = box->addButton("Analize drive again &now", QDialogButtonBox::AcceptRole);
    again_->setObjectName("excludeAnalizeNow");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(middle);
    layout->addWidget(caches_);
    layout->addWidget(note_);
    layout->addWidget(box);

    connect(add, &QPushButton::clicked, this, &TExcludeDialog::Add);
    connect(edit_, &QPushButton::clicked, this, &TExcludeDialog::Edit);
    connect(remove_, &QPushButton::clicked, this, &TExcludeDialog::Remove);
    connect(list_, &QListWidget::currentRowChanged, this, &TExcludeDialog::Changed);
    connect(list_, &QListWidget::itemDoubleClicked, this, &TExcludeDialog::Edit);
    connect(caches_, &QCheckBox::toggled, this, &TExcludeDialog::Changed);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(box->button(QDialogButtonBox::Ok), &QPushButton::clicked, this, [this] {
        if (Store())
            accept();
    });
    connect(again_, &QPushButton::clicked, this, [this] {
        if (!Store())
            return;
        analizeNow_ = true;
        accept();
    });
    Changed();
}

TDriveExcludeRules TExcludeDialog::Rules() const {
    TDriveExcludeRules rules;
    for (int i = 0; i < list_->count(); ++i)
        rules.Patterns.push_back(Bytes(list_->item(i)->text()));
    rules.Caches = caches_->isChecked();
    return rules;
}

bool TExcludeDialog::AskPattern(const QString& title, QString& pattern) {
    for (;;) {
        bool ok = false;
        const QString text =
            QInputDialog::getText(this, title, "Shell pattern:", QLineEdit::Normal, pattern, &ok);
        if (!ok)
            return false;
        std::string error;
        if (TExcludeRules::Check(Bytes(text), error)) {
            pattern = text;
            return true;
        }
        ShowPlainWarning(this, QString::fromStdString("This pattern cannot be used: " + error));
        pattern = text;
    }
}

void TExcludeDialog::Add() {
    QString pattern;
    if (AskPattern("Add a pattern", pattern)) {
        list_->addItem(pattern);
        list_->setCurrentRow(list_->count() - 1);
    }
}

void TExcludeDialog::Edit() {
    QListWidgetItem* item = list_->currentItem();
    if (item == nullptr)
        return;
    QString pattern = item->text();
    if (AskPattern("Edit the pattern", pattern))
        item->setText(pattern);
    Changed();
}

void TExcludeDialog::Remove() {
    delete list_->takeItem(list_->currentRow());
    Changed();
}

void TExcludeDialog::Changed() {
    const bool chosen = list_->currentItem() != nullptr;
    edit_->setEnabled(chosen);
    remove_->setEnabled(chosen);
    const bool differ = Rules() != stored_;
    again_->setEnabled(differ);
    note_->setText(differ ? "The drive's results were made with other rules; they change when "
                            "the drive is analized again."
                          : "The drive's results were made with these rules.");
}

bool TExcludeDialog::Store() {
    std::string problem;
    if (ExcludeSettings::SaveDrive(letter_, Rules(), problem))
        return true;
    ShowPlainWarning(this,
                     QString::fromStdString("The exclude rules cannot be stored: " + problem));
    return false;
}

// The meta-object code is compiled with this file rather than on its own.
#include "moc_ExcludeDialog.cpp"
