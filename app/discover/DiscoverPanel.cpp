#include "app/discover/DiscoverPanel.h"

#include <QAction>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <map>

#include "app/discover/DiscoverRow.h"
#include "app/discover/DuplicateTab.h"
#include "app/discover/FoundList.h"
#include "app/discover/ShareBarDelegate.h"
#include "platform/DriveForm.h"
#include "views/common/DisplayText.h"
#include "views/common/NumberText.h"

namespace {

enum FileColumn { kName, kFolder, kSize, kModified, kOnDisk };
enum TypeColumn { kType, kFiles, kTypeSize, kShare, kBar, kChange };

QString MB(std::int64_t bytes) {
    return QString::fromStdString(FormatMB(std::to_string(bytes)));
}

QString TypeText(const std::string& ext) {
    return ext.empty() ? QString() : "." + DisplayText(EscapeName(ext));
}

// What a list that holds fewer files than a drive scan would says.
QString PartialNote(std::size_t count, std::int64_t floor) {
    return QString(
               "Folders were rescanned since the last drive scan: the list holds "
               "the %1 files larger than %2 MB that are known, until the next "
               "drive scan.")
        .arg(count)
        .arg(MB(floor));
}

}  // namespace

TDiscoverPanel::TDiscoverPanel(QWidget* parent) : QDockWidget("Discover", parent) {
    setObjectName("Discover");
    miDiscover_ = toggleViewAction();
    miDiscover_->setObjectName("miDiscover");
    miDiscover_->setText("&Discover");
    miDiscover_->setStatusTip("Show the largest files, file types and old files of the drive");

    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* top = new QHBoxLayout;
    note_ = new QLabel(body);
    note_->setObjectName("DiscoverNote");
    note_->setTextFormat(Qt::PlainText);
    note_->setWordWrap(true);
    allTypes_ = new QToolButton(body);
    allTypes_->setObjectName("DiscoverAllTypes");
    allTypes_->setText("All types");
    allTypes_->setVisible(false);
    connect(allTypes_, &QToolButton::clicked, this, [this] { ShowType(""); });
    top->addWidget(note_, 1);
    top->addWidget(allTypes_);
    layout->addLayout(top);

    tabs_ = new QTabWidget(body);
    tabs_->setObjectName("DiscoverTabs");
    largest_ = MakeList({"Name", "Folder", "Size, MB", "Modified", "On disk, MB"});
    largest_->setObjectName("DiscoverLargest");
    types_ = MakeList({"Type", "Files", "Size, MB", "Share", "", "Change, MB"});
    types_->setObjectName("DiscoverTypes");
    types_->setItemDelegateForColumn(kBar, new TShareBarDelegate(types_));
    types_->setSelectionMode(QAbstractItemView::SingleSelection);  // a type is chosen, not acted on
    old_ = MakeList({"Name", "Folder", "Size, MB", "Modified", "On disk, MB"});
    old_->setObjectName("DiscoverOld");
    tabs_->addTab(largest_, "&Largest files");
    tabs_->addTab(types_, "File &types");
    tabs_->addTab(old_, "&Old files");
    found_ = new TFoundList(this);
    tabs_->addTab(found_, "&Found");
    duplicates_ = new TDuplicateTab(this);
    tabs_->addTab(duplicates_, "D&uplicates");
    // Read by their tabs' captions; the share bar's caption is empty on the screen.
    tabs_->setAccessibleName(QStringLiteral("Discover"));
    largest_->setAccessibleName(QStringLiteral("Largest files"));
    types_->setAccessibleName(QStringLiteral("File types"));
    types_->headerItem()->setData(kBar, Qt::AccessibleTextRole, QStringLiteral("Share bar"));
    old_->setAccessibleName(QStringLiteral("Old files"));
    layout->addWidget(tabs_, 1);
    setWidget(body);
    connect(tabs_, &QTabWidget::currentChanged, this, [this] { note_->setText(NoteText()); });
    for (QTreeWidget* list : {largest_, old_, static_cast<QTreeWidget*>(found_)}) {
        connect(list, &QTreeWidget::itemActivated, this,
                [this](QTreeWidgetItem* row) { FileChosen(row); });
        connect(list, &QWidget::customContextMenuRequested, this,
                [this, list](const QPoint& at) { FileMenu(list, at); });
    }
    connect(types_, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* row) { TypeChosen(row); });
    hide();
    Fill();
}

QTreeWidget* TDiscoverPanel::MakeList(const QStringList& captions) {
    auto* list = new QTreeWidget(this);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setHeaderLabels(captions);
    list->setSortingEnabled(true);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->header()->setSectionsMovable(false);
    return list;
}

void TDiscoverPanel::SetData(std::shared_ptr<const TDiscoverData> data, const QString& unknown) {
    data_ = std::move(data);
    unknown_ = unknown;
    typeShown_.clear();
    Fill();
}

void TDiscoverPanel::SetKeptTypes(std::shared_ptr<const TFileTypes> kept, const QString& keptName) {
    kept_ = std::move(kept);
    keptName_ = keptName;
    FillTypes();
    note_->setText(NoteText());
}

void TDiscoverPanel::SetAllocated(bool on) {
    if (allocated_ == on)
        return;
    allocated_ = on;
    found_->SetAllocated(on);
    Fill();
}

void TDiscoverPanel::ShowType(const std::string& ext) {
    typeShown_ = ext;
    FillFiles(largest_, LargestShown().Files);
    allTypes_->setVisible(!ext.empty());
    tabs_->setCurrentWidget(largest_);
    note_->setText(NoteText());
}

std::int64_t TDiscoverPanel::Shown(std::int64_t bytes, std::int64_t allocated) const {
    return allocated_ ? allocated : bytes;
}

TDiscoverPanel::TListShown TDiscoverPanel::LargestShown() const {
    if (!data_)
        return {};
    if (typeShown_.empty())
        return {&data_->Largest, data_->Floor, kLargestFiles};
    const auto list = data_->TypeFiles.find(typeShown_);
    if (list == data_->TypeFiles.end())
        return {nullptr, -1, kTypeFiles};
    return {&list->second.Files, list->second.Floor, kTypeFiles};
}

void TDiscoverPanel::Fill() {
    FillFiles(largest_, LargestShown().Files);
    const bool old = data_ && data_->HasTimes && data_->OldKnown();
    FillFiles(old_, old ? &data_->Old.Files : nullptr);
    FillTypes();
    allTypes_->setVisible(!typeShown_.empty());
    note_->setText(NoteText());
}

void TDiscoverPanel::FillFiles(QTreeWidget* list, const std::vector<TLargeFile>* files) {
    list->setSortingEnabled(false);
    list->clear();
    if (files) {
        QList<QTreeWidgetItem*> rows;
        for (const TLargeFile& f : *files) {
            auto* row = new TDiscoverRow;
            const std::size_t slash = f.Path.rfind('\\');
            row->setText(kName, DisplayText(f.Path.substr(slash + 1)));
            row->setData(kName, TDiscoverRow::kPathRole, QByteArray::fromStdString(f.Path));
            row->setText(kFolder, DisplayText(f.Path.substr(0, slash)));
            // Chosen by file size; the bytes on the disk beside it.
            row->setText(kSize, MB(f.Size));
            row->setData(kSize, Qt::UserRole, qint64(f.Size));
            row->setText(kOnDisk, MB(f.Allocated));
            row->setData(kOnDisk, Qt::UserRole, qint64(f.Allocated));
            for (int c : {kSize, kOnDisk})
                row->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
            if (f.MTime != kNoTime) {
                row->setText(kModified,
                             QDateTime::fromSecsSinceEpoch(f.MTime).toString("yyyy-MM-dd HH:mm"));
                row->setData(kModified, Qt::UserRole, qint64(f.MTime));
            }
            rows.append(row);
        }
        list->addTopLevelItems(rows);
    }
    list->setColumnHidden(kOnDisk, !allocated_);
    list->setSortingEnabled(true);
    list->sortByColumn(kSize, Qt::DescendingOrder);
    for (int c = 0; c < list->columnCount(); ++c)
        list->resizeColumnToContents(c);
}

void TDiscoverPanel::FillTypes() {
    types_->setSortingEnabled(false);
    types_->clear();
    types_->setColumnHidden(kChange, !kept_);
    if (data_) {
        const TFileTypes& t = data_->Types;
        const TTypeTotal all = t.All();
        const std::int64_t whole = Shown(all.Bytes, all.Allocated);
        std::map<std::string, const TTypeTotal*> before;
        if (kept_)
            for (const TTypeTotal& k : kept_->Kept)
                before[k.Ext] = &k;
        auto add = [&](const TTypeTotal& total, const QString& name, const TTypeTotal* was) {
            auto* row = new TDiscoverRow(types_);
            row->setText(kType, name);
            row->setData(kType, TDiscoverRow::kPathRole, QByteArray::fromStdString(total.Ext));
            row->setText(kFiles, QString::number(total.Files));
            row->setData(kFiles, Qt::UserRole, qint64(total.Files));
            const std::int64_t size = Shown(total.Bytes, total.Allocated);
            row->setText(kTypeSize, MB(size));
            row->setData(kTypeSize, Qt::UserRole, qint64(size));
            const double share = whole > 0 ? 100.0 * double(size) / double(whole) : 0.0;
            row->setText(kShare, QString::fromStdString(FormatOneDecimal(share)) + " %");
            row->setData(kShare, Qt::UserRole, qint64(share * 100 + 0.5));
            row->setData(kBar, Qt::UserRole, qint64(share * 100 + 0.5));
            for (int c : {kFiles, kTypeSize, kShare, kChange})
                row->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
            if (kept_) {
                const std::int64_t then = was ? Shown(was->Bytes, was->Allocated) : 0;
                const std::int64_t change = size - then;
                row->setText(kChange, (change > 0 ? "+" : "") + MB(change));
                row->setData(kChange, Qt::UserRole, qint64(change));
            }
        };
        for (const TTypeTotal& total : t.Kept) {
            const auto was = before.find(total.Ext);
            add(total, TypeText(total.Ext), was == before.end() ? nullptr : was->second);
        }
        if (t.NoExtension.Files > 0)
            add(t.NoExtension, "(no extension)", kept_ ? &kept_->NoExtension : nullptr);
        if (t.Other.Files > 0)
            add(t.Other, "(other types)", kept_ ? &kept_->Other : nullptr);
    }
    types_->setSortingEnabled(true);
    types_->sortByColumn(kTypeSize, Qt::DescendingOrder);
    for (int c = 0; c < types_->columnCount(); ++c)
        types_->resizeColumnToContents(c);
    types_->setColumnWidth(kBar, 120);
}

QString TDiscoverPanel::NoteText() const {
    // What was found needs no stored Discover data.
    if (tabs_->currentWidget() == found_)
        return found_->NoteText();
    if (tabs_->currentWidget() == duplicates_)
        return {};  // the tab has its own status line
    if (!data_)
        return unknown_.isEmpty() ? "Nothing is known of this drive's files until it is scanned."
                                  : unknown_;
    QStringList parts;
    const QWidget* tab = tabs_->currentWidget();
    if (tab == largest_) {
        parts << LargestNote();
    } else if (tab == types_) {
        if (data_->TypesAsOfDriveScan)
            parts << "As of the last drive scan.";
        if (kept_)
            parts << "Change since " + keptName_ + ".";
        parts << "Double click a type to list its largest files.";
    } else if (tab == old_) {
        parts << OldNote();
    }
    if (allocated_ && tab == types_)
        parts << "Sizes on the disk.";
    return parts.join(' ');
}

QString TDiscoverPanel::LargestNote() const {
    const TListShown list = LargestShown();
    QStringList parts;
    if (!typeShown_.empty())
        parts << (list.Files ? "The largest files of type " + TypeText(typeShown_) + "."
                             : "The largest files of type " + TypeText(typeShown_) +
                                   " are not known until the next drive scan.");
    if (list.Files && list.Floor >= 0 && list.Files->size() < list.Limit)
        parts << PartialNote(list.Files->size(), list.Floor);
    return parts.join(' ');
}

QString TDiscoverPanel::OldNote() const {
    if (!data_->HasTimes)
        return "The scan file has no modification times.";
    if (!data_->OldKnown())
        return "The old files are not known until the next drive scan.";
    QString note = "The largest files not changed for over a year before the scan.";
    if (data_->Old.Floor >= 0 && data_->Old.Files.size() < kOldFiles)
        note += ' ' + PartialNote(data_->Old.Files.size(), data_->Old.Floor);
    return note;
}

void TDiscoverPanel::TypeChosen(QTreeWidgetItem* row) {
    const std::string ext = row->data(kType, TDiscoverRow::kPathRole).toByteArray().toStdString();
    if (!ext.empty())
        ShowType(ext);
}

void TDiscoverPanel::FileChosen(QTreeWidgetItem* row) {
    if (row && OnGoTo)
        OnGoTo(row->data(kName, TDiscoverRow::kPathRole).toByteArray().toStdString());
}

void TDiscoverPanel::ShowFound(TFoundItems items, const QString& what) {
    found_->SetFound(std::move(items), what);
    tabs_->setCurrentWidget(found_);
    note_->setText(NoteText());
}

void TDiscoverPanel::FoundGone() {
    found_->DropGone();
    note_->setText(NoteText());
}

TFoundItems TDiscoverPanel::ChosenRows(QTreeWidget* list) const {
    TFoundItems items;
    const QList<QTreeWidgetItem*> rows = list->selectedItems();
    if (rows.size() < 2)
        return items;
    for (const QTreeWidgetItem* row : rows) {
        TFoundItem item;
        item.Path = row->data(kName, TDiscoverRow::kPathRole).toByteArray().toStdString();
        item.Folder = row->data(kName, TFoundList::kFolderRole).toBool();
        item.Size = row->data(kSize, Qt::UserRole).toLongLong();
        items.push_back(std::move(item));
    }
    return items;
}

void TDiscoverPanel::FileMenu(QTreeWidget* list, const QPoint& at) {
    QTreeWidgetItem* row = list->itemAt(at);
    // The right button on one of several chosen rows: the menu of them all.
    if (row && row->isSelected() && OnItemsMenu) {
        const TFoundItems chosen = ChosenRows(list);
        if (!chosen.empty()) {
            OnItemsMenu(chosen, list->viewport(), at);
            FoundGone();
            return;
        }
    }
    if (!row || !OnItemMenu)
        return;
    list->setCurrentItem(row);
    OnItemMenu(row->data(kName, TDiscoverRow::kPathRole).toByteArray().toStdString(),
               list->viewport(), at);
    FoundGone();
}

void TDiscoverPanel::ShowDuplicates() {
    show();
    raise();
    tabs_->setCurrentWidget(duplicates_);
}

// The meta-object code is compiled with this file rather than on its own.
#include "moc_DiscoverPanel.cpp"
