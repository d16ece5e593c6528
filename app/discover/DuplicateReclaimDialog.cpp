#include "app/discover/DuplicateReclaimDialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QString ExplanationFor(TReclaimAction action) {
    QString text =
        "Every copy is first compared byte for byte with the kept one; a copy that changed "
        "since the search is left alone and reported. ";
    if (action == TReclaimAction::kTrash)
        return text + "The copies go to the Trash: no space is freed until the Trash is emptied.";
    if (action == TReclaimAction::kHardLink)
        return text +
               "Each copy's name then shows the kept file, with its mode, owner and times: the "
               "names are one file, so a change made through one name shows in all of them. Only "
               "copies on the kept copy's file system are replaced.";
    return text +
           "Each copy becomes a clone sharing the kept copy's data on the disk, with the "
           "copy's own mode, owner and times; the files stay independent: a later change to "
           "one does not show in the other. Only file systems that clone (btrfs, XFS) can.";
}

}  // namespace

TDuplicateReclaimDialog::TDuplicateReclaimDialog(QWidget* parent, std::size_t chosenCopies,
                                                 const QString& startFolder)
    : QDialog(parent) {
    setObjectName("DuplicateReclaimDialog");
    setWindowTitle("Reclaim duplicates");
    auto* layout = new QVBoxLayout(this);
    auto* how = new QGroupBox("What to do with the copies", this);
    auto* howLayout = new QVBoxLayout(how);
    trash_ = new QRadioButton("Move to &Trash", how);
    link_ = new QRadioButton("Replace by a &hard link to the kept copy", how);
    clone_ = new QRadioButton("Replace by a &clone of the kept copy (btrfs, XFS)", how);
    for (QRadioButton* b : {trash_, link_, clone_})
        howLayout->addWidget(b);
    trash_->setChecked(true);
    layout->addWidget(how);

    auto* which = new QGroupBox("Which copies", this);
    auto* whichLayout = new QVBoxLayout(which);
    chosen_ = new QRadioButton(QString("The %1 c&hosen in the list").arg(chosenCopies), which);
    all_ = new QRadioButton("&All but one in each group", which);
    chosen_->setEnabled(chosenCopies > 0);
    (chosenCopies > 0 ? chosen_ : all_)->setChecked(true);
    whichLayout->addWidget(chosen_);
    whichLayout->addWidget(all_);
    layout->addWidget(which);

    auto* form = new QFormLayout;
    rule_ = new QComboBox(this);
    rule_->addItems(
        {"The oldest", "The newest", "The one with the shortest path", "One inside this folder:"});
    folder_ = new QLineEdit(startFolder, this);
    form->addRow("&Keep:", rule_);
    form->addRow("&Folder:", folder_);
    layout->addLayout(form);

    explanation_ = new QLabel(this);
    explanation_->setObjectName("ReclaimExplanation");
    explanation_->setWordWrap(true);
    // A wrapped text's height follows its width: the dialog grows to show all
    // of it whichever way is chosen.
    // The longest text's height at the label's width, so that choosing
    // another way never leaves a text cut off.
    constexpr int kWidth = 420;
    int height = 0;
    for (TReclaimAction a :
         {TReclaimAction::kTrash, TReclaimAction::kHardLink, TReclaimAction::kClone}) {
        explanation_->setText(ExplanationFor(a));
        height = std::max(height, explanation_->heightForWidth(kWidth));
    }
    explanation_->setMinimumSize(kWidth, height);
    layout->addWidget(explanation_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText("Reclaim");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    for (QRadioButton* b : {trash_, link_, clone_})
        connect(b, &QRadioButton::toggled, this, [this] { Explain(); });
    connect(rule_, &QComboBox::currentIndexChanged, this, [this] { Explain(); });
    Explain();
}

void TDuplicateReclaimDialog::Explain() {
    folder_->setEnabled(rule_->currentIndex() == TKeepRule::kInsideFolder);
    explanation_->setText(ExplanationFor(Action()));
}

TReclaimAction TDuplicateReclaimDialog::Action() const {
    return link_->isChecked()    ? TReclaimAction::kHardLink
           : clone_->isChecked() ? TReclaimAction::kClone
                                 : TReclaimAction::kTrash;
}

TKeepRule TDuplicateReclaimDialog::Rule() const {
    return {TKeepRule::Kind(rule_->currentIndex()), folder_->text().toLocal8Bit().toStdString()};
}

bool TDuplicateReclaimDialog::AllButOne() const {
    return all_->isChecked();
}

// The meta-object code is compiled with this file rather than on its own.
#include "moc_DuplicateReclaimDialog.cpp"
