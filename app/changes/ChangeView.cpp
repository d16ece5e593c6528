#include "app/changes/ChangeView.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QMessageBox>
#include <QPainter>
#include <QStyle>
#include <QToolBar>
#include <QTreeWidgetItem>

#include "engine/DiskSizeList.h"
#include "engine/ExcludeKind.h"
#include "engine/NumberText.h"
#include "engine/ResultStore.h"
#include "engine/StoredListText.h"
#include "views/bar/BarChanges.h"
#include "views/bar/BarDrawing.h"
#include "views/bar/ChangeBarDrawing.h"
#include "views/bar/PBExListview.h"
#include "views/common/NumberText.h"
#include "views/common/SpokenText.h"
#include "views/tree/ShellListModel.h"

namespace {

// The kept set's allocated bytes in place of its sizes; false when it has
// none for every folder.
bool KeepAllocated(THistorySnapshot& kept) {
    const auto it = kept.Extras.find(kDiskSizesRole);
    if (it == kept.Extras.end() || it->second.size() != kept.Dirs.size())
        return false;
    for (std::size_t i = 0; i < kept.Sizes.size(); ++i)
        if (!TryTextToInt64(it->second[i], kept.Sizes[i]))
            return false;
    return true;
}

constexpr int kChangeColumn = 2;
constexpr int kBarColumn = 3;
constexpr int kChangeRole = Qt::UserRole + 1;  // bytes gained, on the change column
constexpr int kKindRole = Qt::UserRole + 2;    // TRowChange::TKind

QString FromBytes(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The drive whose stored results the lists hold; 0 for none, also for an
// opened scan file, whose lists belong to no drive's files and history.
char StoredDrive(const TResultStore& store) {
    return store.PercentsFile.empty() ? 0 : ListsDriveLetter(store.GlobalDirs());
}

QString EntryText(const THistoryEntry& entry) {
    QString text = "Since " + FromBytes(TScanHistory::TimeText(entry.Time));
    if (entry.Serial > 0) {
        text += QString(" (%1)").arg(entry.Serial + 1);
    }
    return text;
}

// While the changes are shown, a screen reader hears each row's signed
// change where it otherwise hears the share: the column the change replaces.
void SpeakChange(QTreeWidgetItem* row) {
    const QString change = SpokenChange(row->text(kChangeColumn));
    row->setData(kChangeColumn, Qt::AccessibleTextRole, change);
    row->setData(kBarColumn, Qt::AccessibleTextRole, QStringLiteral("Bar of ") + change);
    row->setData(0, Qt::AccessibleTextRole,
                 SpokenItem(row->text(0), SpokenMB(row->text(1)),
                            change.isEmpty() ? std::nullopt : std::optional(change)));
}

void PutChange(QTreeWidgetItem* row, const TRowChange& change) {
    row->setText(kChangeColumn, FromBytes(TBarChanges::ChangeText(change)));
    SpeakChange(row);
    row->setData(kChangeColumn, kChangeRole, static_cast<qlonglong>(change.Change));
    row->setData(kChangeColumn, kKindRole, static_cast<int>(change.Kind));
}

}  // namespace

TChangeView::TChangeView(const TResultStore& store, QWidget* window)
    : store_(store), window_(window) {
    teller_ = [this](const QString& text) {
        QMessageBox box(QMessageBox::Warning, "Cobaltquarry", text, QMessageBox::Ok, window_);
        box.setTextFormat(Qt::PlainText);  // a folder name is never markup
        box.exec();
    };
    miChanges_ = new QAction("&Changes", this);
    miChanges_->setObjectName("miChanges");
    miChanges_->setCheckable(true);
    miChanges_->setStatusTip("Click to show/hide what changed since earlier results");
    miChanges_->setToolTip(miChanges_->statusTip());
    connect(miChanges_, &QAction::toggled, this, &TChangeView::Toggled);

    cbSince_ = new QComboBox(window);
    cbSince_->setObjectName("cbSince");
    cbSince_->setToolTip("The earlier results the changes are counted from");
    cbSince_->setAccessibleName(QStringLiteral("Changes since"));
    cbSince_->view()->setAccessibleName(QStringLiteral("Changes since"));
    cbSince_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    cbSince_->hide();
    connect(cbSince_, &QComboBox::activated, this, [this] { Q_EMIT RowsChanged(); });
}

TChangeView::~TChangeView() = default;

void TChangeView::AttachTo(QToolBar* bar) {
    chooserOnBar_ = bar->addWidget(cbSince_);
    chooserOnBar_->setVisible(On());
}

bool TChangeView::On() const {
    return miChanges_->isChecked();
}

void TChangeView::Toggled(bool on) {
    if (chooserOnBar_) {
        chooserOnBar_->setVisible(on);
    } else {
        cbSince_->setVisible(on);
    }
    if (!on) {
        changes_.reset();  // a large drive's comparison is not kept while unused
        comparedPath_.clear();
    }
    Q_EMIT RowsChanged();
}

void TChangeView::FillChooser(const std::vector<THistoryEntry>& entries) {
    const QString chosen = cbSince_->currentData().toString();
    entries_ = entries;
    cbSince_->clear();
    for (const THistoryEntry& entry : entries_) {
        cbSince_->addItem(EntryText(entry), FromBytes(entry.Path));
    }
    if (entries_.empty()) {
        cbSince_->addItem("No earlier results kept");
    }
    cbSince_->setEnabled(!entries_.empty());
    // The same results stay chosen while they are there; otherwise the newest.
    const int again = chosen.isEmpty() ? -1 : cbSince_->findData(chosen);
    cbSince_->setCurrentIndex(again >= 0 ? again : 0);
}

void TChangeView::Refresh() {
    drive_ = StoredDrive(store_);
    std::vector<THistoryEntry> entries;
    if (drive_ != 0) {
        for (THistoryEntry& entry : TScanHistory(store_.DataFolder).Entries(drive_)) {
            if (damaged_.count(entry.Path) == 0) {
                entries.push_back(std::move(entry));
            }
        }
    }
    const auto samePaths = [](const THistoryEntry& a, const THistoryEntry& b) {
        return a.Path == b.Path;
    };
    if (entries.size() != entries_.size() ||
        !std::equal(entries.begin(), entries.end(), entries_.begin(), samePaths)) {
        FillChooser(entries);
    }
    Compare();
}

void TChangeView::SizesChanged() {
    changes_.reset();
    comparedPath_.clear();
}

void TChangeView::Compare() {
    for (;;) {
        const int at = cbSince_->currentIndex();
        if (entries_.empty() || at < 0 || at >= static_cast<int>(entries_.size())) {
            changes_.reset();
            comparedPath_.clear();
            return;
        }
        const THistoryEntry& entry = entries_[static_cast<std::size_t>(at)];
        if (changes_ && entry.Path == comparedPath_ && store_.Generation() == comparedGeneration_) {
            return;
        }
        THistorySnapshot kept;
        std::string message;
        if (TScanHistory(store_.DataFolder).Load(entry, kept, message)) {
            if (store_.DiskUsage && !KeepAllocated(kept)) {
                changes_.reset();
                comparedPath_.clear();
                return;
            }
            changes_ = std::make_unique<TResultChanges>(
                CompareResults(store_.GlobalDirs(), store_.ShownSizes(), kept));
            keptExtras_ = std::move(kept.Extras);
            NoteRules();
            comparedPath_ = entry.Path;
            comparedGeneration_ = store_.Generation();
            return;
        }
        // Told once, left out of the chooser; the next older results are used.
        damaged_.insert(entry.Path);
        std::vector<THistoryEntry> rest = entries_;
        rest.erase(rest.begin() + at);
        entries_.clear();
        FillChooser(rest);
        cbSince_->setCurrentIndex(std::min(at, cbSince_->count() - 1));
        // Told after the rows are built: a message box waits in an event
        // loop of its own, which must not run in the middle of a refill.
        const QString text = QFile::decodeName(QByteArray::fromStdString(message));
        QMetaObject::invokeMethod(
            this,
            [this, text] {
                if (teller_) {
                    teller_(text);
                }
            },
            Qt::QueuedConnection);
    }
}

void TChangeView::NoteRules() {
    const auto rulesOf = [](const TExtraLists& extras) {
        const auto it = extras.find(std::string(kExcludeRole));
        return it == extras.end() ? TStringList() : it->second;
    };
    otherRules_ = !(rulesOf(keptExtras_) == rulesOf(store_.GlobalExtras()));
    cbSince_->setToolTip(otherRules_ ? kOtherRulesTip
                                     : "The earlier results the changes are counted from");
}

void TChangeView::DecorateRows(TPBExListview& list, const TShellListModel& bar) {
    QTreeWidgetItem* head = list.headerItem();
    if (!On()) {
        if (!sizeCaption_.isEmpty()) {
            head->setText(kChangeColumn, sizeCaption_);
        }
        return;
    }
    if (sizeCaption_.isEmpty()) {
        sizeCaption_ = head->text(kChangeColumn);
    }
    head->setText(kChangeColumn, kCaption);
    Refresh();
    head->setToolTip(kChangeColumn, KeptWithOtherRules() ? kOtherRulesTip : QString());
    const int rows = std::min(list.topLevelItemCount(), bar.Count());
    if (!changes_) {
        for (int i = 0; i < rows; ++i) {
            PutChange(list.topLevelItem(i), TRowChange());
        }
        largest_ = 0;
        return;
    }
    std::vector<std::string> paths;
    for (int i = 0; i < rows; ++i) {
        paths.push_back(bar.Item(i).PathName());
    }
    TBarChanges data;
    data.Build(store_.GlobalDirs(), *changes_, bar.Root(), paths);
    largest_ = data.Largest;
    for (int i = 0; i < rows; ++i) {
        PutChange(list.topLevelItem(i), data.Rows[static_cast<std::size_t>(i)]);
    }
    // Gone folders: greyed rows that cannot be selected, opened or entered.
    const QIcon folderIcon = list.style()->standardIcon(QStyle::SP_DirIcon);
    QList<QTreeWidgetItem*> gone;
    for (const TGoneFolder& folder : data.Gone) {
        auto* row = new QTreeWidgetItem();
        row->setText(0, QFile::decodeName(QByteArray::fromStdString(folder.Name)));
        row->setIcon(0, folderIcon);
        row->setText(1, FromBytes(FormatMB(std::to_string(folder.Size))));
        TRowChange change{TRowChange::TKind::Gone, -folder.Size, folder.Size};
        PutChange(row, change);
        row->setFlags(Qt::NoItemFlags);
        row->setTextAlignment(1, Qt::AlignLeft | Qt::AlignVCenter);
        gone.append(row);
    }
    list.addTopLevelItems(gone);
}

std::optional<int> TChangeView::Compare(const QTreeWidgetItem* a, const QTreeWidgetItem* b,
                                        int sortColumn, bool reverse) const {
    if (!On() || sortColumn != kChangeColumn) {
        return std::nullopt;
    }
    const qlonglong ca = a->data(kChangeColumn, kChangeRole).toLongLong();
    const qlonglong cb = b->data(kChangeColumn, kChangeRole).toLongLong();
    const int result = cb > ca ? 1 : -1;
    return reverse ? -result : result;
}

bool TChangeView::DrawCell(QPainter& canvas, const TPBExListview& list, QTreeWidgetItem* row,
                           int cellIndex) const {
    if (!On() || cellIndex != kBarColumn) {
        return false;
    }
    QList<int> widths;
    for (int c = 0; c < list.columnCount(); ++c) {
        widths << list.ColumnWidth(c);
    }
    const QRect cell = BarRect(list.RowRect(row), widths, kBarColumn, 100);
    const qlonglong change = row->data(kChangeColumn, kChangeRole).toLongLong();
    DrawChangeBar(canvas, cell, list.ColumnWidth(kBarColumn),
                  TBarChanges::BarLength(change, largest_, list.ColumnWidth(kBarColumn)),
                  change < 0);
    return true;
}

// The meta-object code is compiled with this file rather than on its own.
#include "moc_ChangeView.cpp"
