#include "app/find/FindDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "engine/NameMatcher.h"
#include "engine/SizeArgument.h"
#include "views/common/DisplayText.h"

namespace {

QString SizeText(std::int64_t bytes) {
    return bytes > 0 ? QString::number(bytes) : QString();
}

// The text may hold what the user typed: never read as markup.
void Refuse(QWidget* owner, const std::string& why) {
    QMessageBox box(QMessageBox::Warning, "Find", QString::fromStdString(why), QMessageBox::Ok,
                    owner);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace

TFindDialog::TFindDialog(QWidget* parent, const TFindQuery& last, const std::string& folder)
    : QDialog(parent), folder_(folder) {
    setObjectName("FindDialog");
    setWindowTitle("Find");
    auto* form = new QFormLayout;
    pattern_ = new QLineEdit(QString::fromStdString(last.Pattern), this);
    pattern_->setObjectName("FindPattern");
    pattern_->setPlaceholderText("*.o");
    form->addRow("&Name:", pattern_);
    mode_ = new QComboBox(this);
    mode_->setObjectName("FindMode");
    mode_->addItems({"Wildcard (* ? [...])", "Contains", "Regular expression"});
    mode_->setCurrentIndex(static_cast<int>(last.Mode));
    form->addRow("&Match as:", mode_);
    ignoreCase_ = new QCheckBox("&Ignore case", this);
    ignoreCase_->setChecked(last.IgnoreCase);
    form->addRow(QString(), ignoreCase_);
    kinds_ = new QComboBox(this);
    kinds_->setObjectName("FindKinds");
    kinds_->addItems({"Files and folders", "Files", "Folders"});
    kinds_->setCurrentIndex(last.Kinds == TFindKinds::Both    ? 0
                            : last.Kinds == TFindKinds::Files ? 1
                                                              : 2);
    form->addRow("&Look for:", kinds_);
    below_ = new QRadioButton("Below the current &folder: " + DisplayText(folder), this);
    wholeDrive_ = new QRadioButton("The &whole drive " + DisplayText(folder.substr(0, 2)), this);
    wholeDrive_->setObjectName("FindWholeDrive");
    (last.Below.size() == 2 ? wholeDrive_ : below_)->setChecked(true);
    auto* place = new QVBoxLayout;
    place->addWidget(below_);
    place->addWidget(wholeDrive_);
    form->addRow("Where:", place);
    minSize_ = new QLineEdit(SizeText(last.MinSize), this);
    minSize_->setObjectName("FindMinSize");
    minSize_->setPlaceholderText("bytes, or with K, M, G: 10M");
    form->addRow("Minimum &size:", minSize_);
    auto* age = new QHBoxLayout;
    old_ = new QCheckBox("Files not &changed for over", this);
    old_->setChecked(last.OlderThanDays.has_value());
    days_ = new QSpinBox(this);
    days_->setRange(0, 100000);
    days_->setValue(last.OlderThanDays.value_or(365));
    days_->setSuffix(" days");
    age->addWidget(old_);
    age->addWidget(days_);
    age->addStretch();
    form->addRow(QString(), age);
    auto* note = new QLabel(
        "Names are matched, not paths. Folders are found at once in the drive's stored "
        "results; files by walking below the chosen folder. A regular expression reads a "
        "name as UTF-8, bytes that are not UTF-8 as U+FFFD.",
        this);
    note->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(buttons);
}

TFindQuery TFindDialog::Query() const {
    TFindQuery q;
    q.Pattern = pattern_->text().toStdString();
    q.Mode = static_cast<TFindMode>(mode_->currentIndex());
    q.IgnoreCase = ignoreCase_->isChecked();
    q.Kinds = kinds_->currentIndex() == 0   ? TFindKinds::Both
              : kinds_->currentIndex() == 1 ? TFindKinds::Files
                                            : TFindKinds::Folders;
    q.Below = wholeDrive_->isChecked() ? folder_.substr(0, 2) : folder_;
    std::string problem;
    if (!minSize_->text().trimmed().isEmpty())
        ParseSizeArgument(minSize_->text().trimmed().toStdString(), q.MinSize, problem);
    if (old_->isChecked())
        q.OlderThanDays = days_->value();
    return q;
}

void TFindDialog::accept() {
    std::string problem;
    std::int64_t bytes = 0;
    const QString size = minSize_->text().trimmed();
    if (!size.isEmpty() && !ParseSizeArgument(size.toStdString(), bytes, problem)) {
        Refuse(this, problem);
        return;
    }
    const TNameMatcher matcher(Query());
    if (!matcher.Error().empty()) {
        Refuse(this, matcher.Error());
        return;
    }
    QDialog::accept();
}
