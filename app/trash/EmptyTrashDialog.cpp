#include "app/trash/EmptyTrashDialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/shell/FollowMeasure.h"
#include "app/trash/DriveTrash.h"
#include "platform/NameText.h"
#include "platform/desktop/FileEventLog.h"
#include "views/common/SpokenText.h"

using namespace cq::desktop;

namespace {

// The verb the stored analysis follows these changes under: not "delete",
// whose note speaks of a move to the trash.
const QString kVerb = QStringLiteral("emptytrash");

QString MB(std::int64_t bytes) {
    return SpokenBytesAsMB(std::to_string(bytes));
}

// A size column that sorts by bytes.
class TSizeItem : public QTreeWidgetItem {
  public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        if (column == 2)
            return data(2, Qt::UserRole).toLongLong() < other.data(2, Qt::UserRole).toLongLong();
        return QTreeWidgetItem::operator<(other);
    }
};

QString Place(const TTrashItem& item) {
    if (item.OriginalPath.empty())
        return QStringLiteral("(not known)");
    const std::size_t slash = item.OriginalPath.find_last_of('/');
    return VisibleName(slash == 0 ? std::string("/") : item.OriginalPath.substr(0, slash));
}

QString Name(const TTrashItem& item) {
    if (item.OriginalPath.empty())
        return VisibleName(item.Name);
    return VisibleName(item.OriginalPath.substr(item.OriginalPath.find_last_of('/') + 1));
}

}  // namespace

TEmptyTrashDialog::TEmptyTrashDialog(char letter, TItemMenuLinks links, QWidget* parent)
    : QDialog(parent), letter_(letter), links_(std::move(links)) {
    setObjectName("EmptyTrash");
    setWindowTitle(QStringLiteral("Empty Trash"));
    resize(720, 400);
    list_ = new QTreeWidget(this);
    list_->setObjectName("TrashList");
    list_->setRootIsDecorated(false);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Original place"),
                            QStringLiteral("Size"), QStringLiteral("Deleted")});
    list_->setSortingEnabled(true);
    list_->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    totals_ = new QLabel(this);
    totals_->setObjectName("TrashTotals");
    totals_->setTextFormat(Qt::PlainText);
    restore_ = new QPushButton(QStringLiteral("&Restore"), this);
    delete_ = new QPushButton(QStringLiteral("&Delete"), this);
    deleteAll_ = new QPushButton(QStringLiteral("Delete &all"), this);
    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    restore_->setObjectName("TrashRestore");
    delete_->setObjectName("TrashDelete");
    deleteAll_->setObjectName("TrashDeleteAll");
    connect(restore_, &QPushButton::clicked, this, [this] { RestoreChosen(); });
    connect(delete_, &QPushButton::clicked, this, [this] { DeleteChosen(); });
    connect(deleteAll_, &QPushButton::clicked, this, [this] { DeleteAll(); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(list_, &QTreeWidget::itemSelectionChanged, this, [this] {
        restore_->setEnabled(!Chosen().empty());
        delete_->setEnabled(!Chosen().empty());
    });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(restore_);
    buttons->addWidget(delete_);
    buttons->addWidget(deleteAll_);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(totals_);
    layout->addLayout(buttons);
    Ask = [this](const QString& text) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("?"), text,
                        QMessageBox::Yes | QMessageBox::No, this);
        box.setTextFormat(Qt::PlainText);
        box.setDefaultButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
    };
    Tell = [this](const QString& text) {
        QMessageBox box(QMessageBox::Warning, windowTitle(), text, QMessageBox::Ok, this);
        box.setTextFormat(Qt::PlainText);
        box.exec();
    };
    Reload();
}

void TEmptyTrashDialog::Reload() {
    listing_ = ListTrash(DriveTrashFolders(letter_));
    list_->setSortingEnabled(false);
    list_->clear();
    for (std::size_t i = 0; i < listing_.Items.size(); ++i) {
        const TTrashItem& item = listing_.Items[i];
        if (!item.Present)
            continue;  // an info file without its item: nothing to show
        auto* row = new TSizeItem(list_);
        row->setText(0, Name(item));
        row->setText(1, Place(item));
        row->setText(2, MB(item.Bytes));
        row->setData(2, Qt::UserRole, static_cast<qlonglong>(item.Bytes));
        row->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        row->setText(3, QString::fromStdString(item.DeletionDate).replace(QLatin1Char('T'), ' '));
        row->setData(0, Qt::UserRole, static_cast<qulonglong>(i));
    }
    list_->setSortingEnabled(true);
    restore_->setEnabled(false);
    delete_->setEnabled(false);
    deleteAll_->setEnabled(!listing_.Items.empty());
    ShowTotals();
}

void TEmptyTrashDialog::ShowTotals() {
    const long long free = DriveFreeBytes(letter_);
    QString text = QStringLiteral("In the Trash: %1").arg(MB(listing_.Bytes));
    if (free >= 0)
        text += QStringLiteral("; free on the drive: %1").arg(MB(free));
    for (const QString& problem : listing_.Problems)
        text += QLatin1Char('\n') + problem;
    totals_->setText(text);
}

std::vector<const TTrashItem*> TEmptyTrashDialog::Chosen() const {
    std::vector<const TTrashItem*> chosen;
    for (const QTreeWidgetItem* row : list_->selectedItems())
        chosen.push_back(&listing_.Items[row->data(0, Qt::UserRole).toULongLong()]);
    return chosen;
}

void TEmptyTrashDialog::Apply(const std::vector<const TTrashItem*>& items, bool restore) {
    TFileEventLog log;
    QStringList failures;
    for (const TTrashItem* item : items) {
        const TActionResult result =
            restore ? RestoreTrashItem(*item, &log) : DeleteTrashItem(*item, &log);
        if (!result.ok)
            failures << result.error;
    }
    const TFollowedAction done{TActionResult::Done(), MeasureFollowPlan(log)};
    if (!done.Plan.Empty()) {
        FollowAndNote(links_, kVerb, done);
        if (links_.foldersChanged)
            links_.foldersChanged(done.Plan.Parents());
    }
    if (links_.rereadAndRebuild)
        links_.rereadAndRebuild();
    Reload();
    if (Changed)
        Changed();
    if (!failures.isEmpty())
        Tell(failures.join(QLatin1Char('\n')));
}

void TEmptyTrashDialog::RestoreChosen() {
    const auto chosen = Chosen();
    if (!chosen.empty())
        Apply(chosen, true);
}

void TEmptyTrashDialog::Delete(const std::vector<const TTrashItem*>& items) {
    std::int64_t bytes = 0;
    for (const TTrashItem* item : items)
        bytes += item->Bytes;
    const QString text =
        items.size() == 1
            ? QStringLiteral("Delete \"%1\" (%2) for good? It cannot be restored afterwards.")
                  .arg(Name(*items.front()), MB(bytes))
            : QStringLiteral("Delete %1 items (%2) for good? They cannot be restored afterwards.")
                  .arg(items.size())
                  .arg(MB(bytes));
    if (Ask(text))
        Apply(items, false);
}

void TEmptyTrashDialog::DeleteChosen() {
    const auto chosen = Chosen();
    if (!chosen.empty())
        Delete(chosen);
}

void TEmptyTrashDialog::DeleteAll() {
    std::vector<const TTrashItem*> all;
    for (const TTrashItem& item : listing_.Items)
        all.push_back(&item);
    if (!all.empty())
        Delete(all);
}
