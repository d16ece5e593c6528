#include "app/discover/DuplicateTab.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/discover/DiscoverRow.h"
#include "engine/DuplicateFinder.h"
#include "engine/SizeArgument.h"
#include "platform/DriveForm.h"
#include "views/common/DisplayText.h"
#include "views/common/NumberText.h"

namespace {

enum DuplicateColumn { kCopyName, kCopyFolder, kCopyModified, kCopySize, kCopyWaste, kCopyNote };
constexpr int kGroupRole = Qt::UserRole + 2;  // group index (all rows)
constexpr int kCopyRole = Qt::UserRole + 3;   // copy index; -1 on a group row

QString DuplicateMB(std::int64_t bytes) {
    return QString::fromStdString(FormatMB(std::to_string(bytes)));
}

// A native path as the window shows it (its drive form where it has one).
QString Shown(const std::string& native) {
    const auto driveForm = NativeToDriveForm(native);
    return DisplayText(driveForm ? *driveForm : EscapeName(native));
}

std::string Parent(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos || slash == 0 ? "/" : path.substr(0, slash);
}

std::string Base(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
}

QString Time(std::int64_t nanos) {
    return QDateTime::fromSecsSinceEpoch(nanos / 1000000000).toString("yyyy-MM-dd HH:mm");
}

}  // namespace

TDuplicateTab::TDuplicateTab(QWidget* parent) : QWidget(parent) {
    setObjectName("DiscoverDuplicates");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 0);
    auto* top = new QHBoxLayout;
    folderLabel_ = new QLabel(this);
    folderLabel_->setTextFormat(Qt::PlainText);
    auto* minLabel = new QLabel("&Smallest file:", this);
    minSize_ = new QLineEdit("1", this);
    minSize_->setObjectName("DuplicatesMinSize");
    minSize_->setMaximumWidth(80);
    minSize_->setToolTip("Bytes, or a number with K, M or G (of 1024)");
    minLabel->setBuddy(minSize_);
    search_ = new QPushButton("&Search", this);
    search_->setObjectName("DuplicatesSearch");
    cancel_ = new QPushButton("Cancel", this);
    cancel_->setObjectName("DuplicatesCancel");
    reclaim_ = new QPushButton("&Reclaim\u2026", this);
    reclaim_->setObjectName("DuplicatesReclaim");
    top->addWidget(folderLabel_, 1);
    top->addWidget(minLabel);
    top->addWidget(minSize_);
    top->addWidget(search_);
    top->addWidget(cancel_);
    top->addWidget(reclaim_);
    layout->addLayout(top);
    status_ = new QLabel(this);
    status_->setObjectName("DuplicatesStatus");
    status_->setTextFormat(Qt::PlainText);
    status_->setWordWrap(true);
    layout->addWidget(status_);
    list_ = new QTreeWidget(this);
    list_->setObjectName("DuplicatesList");
    list_->setAccessibleName("Duplicates");
    list_->setHeaderLabels({"Name", "Folder", "Modified", "Size, MB", "Waste, MB", ""});
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setAllColumnsShowFocus(true);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    list_->header()->setSectionsMovable(false);
    layout->addWidget(list_, 1);
    timer_ = new QTimer(this);
    timer_->setInterval(200);
    connect(timer_, &QTimer::timeout, this, [this] { ShowProgress(); });
    connect(search_, &QPushButton::clicked, this, [this] { Start(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { Cancel(); });
    connect(reclaim_, &QPushButton::clicked, this, [this] {
        if (OnReclaim)
            OnReclaim();
    });
    connect(list_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* row) {
        const std::string path = PathOf(row);
        if (!path.empty() && OnGoTo)
            OnGoTo(path);
    });
    connect(list_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const std::string path = PathOf(list_->itemAt(at));
        if (!path.empty() && OnItemMenu)
            OnItemMenu(path, list_->viewport(), at);
    });
    connect(list_, &QTreeWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });
    Fill();
}

TDuplicateTab::~TDuplicateTab() {
    if (thread_) {
        finder_->Cancel = true;
        thread_->wait();
    }
}

void TDuplicateTab::SetFolder(const std::string& nativeFolder) {
    folder_ = nativeFolder;
    folderLabel_->setText("Below " + Shown(nativeFolder));
    UpdateButtons();
}

bool TDuplicateTab::Start() {
    std::int64_t minSize = 1;
    std::string problem;
    if (Running() || folder_.empty())
        return false;
    if (!ParseSizeArgument(minSize_->text().trimmed().toStdString(), minSize, problem)) {
        status_->setText("The smallest file size: " + QString::fromStdString(problem));
        return false;
    }
    finder_ = std::make_unique<TDuplicateFinder>(TDuplicateOptions{minSize, 0});
    running_ = std::make_shared<TDuplicateResult>();
    const std::string folder = folder_;
    auto* finder = finder_.get();
    auto result = running_;
    auto finished = std::make_shared<bool>(false);
    thread_ = QThread::create([finder, folder, result, finished] {
        try {
            *finished = finder->Run(folder, *result);
        } catch (const std::exception&) {
            *finished = false;  // memory ran out: told as a search that did not end
        }
    });
    thread_->setParent(this);  // deleted with the tab, after the wait in its destructor
    connect(thread_, &QThread::finished, this, [this, finished] { Ended(*finished); });
    thread_->start();
    timer_->start();
    ShowProgress();
    UpdateButtons();
    return true;
}

void TDuplicateTab::Cancel() {
    if (finder_ && thread_)
        finder_->Cancel = true;
}

void TDuplicateTab::ShowProgress() {
    const TDuplicateProgress& p = finder_->Progress;
    QString text;
    if (p.Step == TDuplicateProgress::kListing) {
        text = QString("Listing files: %1").arg(p.FilesListed.load());
    } else {
        text = QString("Comparing %1 of %2 files of equal sizes, %3 MB read")
                   .arg(p.FilesHashed.load())
                   .arg(p.Candidates.load())
                   .arg(DuplicateMB(std::int64_t(p.BytesHashed.load())));
        const double left = p.SecondsLeft();
        if (left >= 0)
            text += QString(", about %1 s left").arg(qint64(left + 0.5));
    }
    status_->setText(text + "\u2026");
}

void TDuplicateTab::Ended(bool finished) {
    timer_->stop();
    thread_->deleteLater();
    thread_ = nullptr;
    const std::uint64_t skipped = finder_->Progress.Changed + finder_->Progress.Unreadable;
    if (finished) {
        SetResult(running_);
        if (skipped > 0)
            status_->setText(status_->text() +
                             QString(" %1 files changed while read or could not be read: left out.")
                                 .arg(skipped));
        if (OnFound)
            OnFound(result_);
    } else {
        status_->setText("The search was cancelled.");
    }
    running_.reset();
    UpdateButtons();
}

void TDuplicateTab::SetResult(std::shared_ptr<const TDuplicateResult> result, const QString& asOf) {
    result_ = std::move(result);
    asOf_ = asOf;
    if (result_ && folder_.empty())
        SetFolder(result_->Root);
    Fill();
}

void TDuplicateTab::Fill() {
    list_->clear();
    if (!result_) {
        status_->setText("Search for files with the same bytes below the folder.");
        UpdateButtons();
        return;
    }
    for (std::size_t i = 0; i < result_->Groups.size(); ++i)
        AddGroup(i, result_->Groups[i]);
    for (int c = kCopyName; c <= kCopyNote; ++c)
        list_->resizeColumnToContents(c);
    const std::size_t groups = result_->Groups.size();
    // One pass: a folder's name may hold "%4" itself.
    QString text = QString("%1 group%2 below %3 waste %4 MB.")
                       .arg(QString::number(groups), groups == 1 ? "" : "s", Shown(result_->Root),
                            DuplicateMB(result_->TotalWaste()));
    if (!asOf_.isEmpty())
        text += " (As of " + asOf_ + ": the drive changed since.)";
    status_->setText(text);
    UpdateButtons();
}

void TDuplicateTab::AddGroup(std::size_t index, const TDuplicateGroup& group) {
    auto* row = new TDiscoverRow(list_);
    row->setText(kCopyName, QString("%1 copies").arg(group.Copies.size()));
    row->setText(kCopySize, DuplicateMB(group.Size));
    row->setText(kCopyWaste, DuplicateMB(group.Waste()));
    row->setData(kCopyName, kGroupRole, qulonglong(index));
    row->setData(kCopyName, kCopyRole, -1);
    for (std::size_t c = 0; c < group.Copies.size(); ++c) {
        const TDuplicateCopy& copy = group.Copies[c];
        auto* child = new TDiscoverRow(row);
        const std::string& name = copy.Names.front();
        child->setText(kCopyName, DisplayText(EscapeName(Base(name))));
        child->setText(kCopyFolder, Shown(Parent(name)));
        child->setText(kCopyModified, Time(copy.WriteNanos));
        child->setText(kCopySize, DuplicateMB(group.Size));
        QStringList notes;
        if (group.IsShared(c))
            notes << "already shared";
        if (copy.Names.size() > 1)
            notes << QString("%1 hard-linked names").arg(copy.Names.size());
        child->setText(kCopyNote, notes.join(", "));
        child->setData(kCopyName, kGroupRole, qulonglong(index));
        child->setData(kCopyName, kCopyRole, int(c));
    }
    row->setExpanded(true);
}

std::string TDuplicateTab::PathOf(QTreeWidgetItem* row) const {
    if (!row || !result_ || row->data(kCopyName, kCopyRole).toInt() < 0)
        return {};
    const auto& group = result_->Groups[row->data(kCopyName, kGroupRole).toULongLong()];
    const std::string& native =
        group.Copies[std::size_t(row->data(kCopyName, kCopyRole).toInt())].Names.front();
    return NativeToDriveForm(native).value_or(std::string());
}

std::vector<std::pair<std::size_t, std::size_t>> TDuplicateTab::ChosenCopies() const {
    std::vector<std::pair<std::size_t, std::size_t>> chosen;
    if (!result_)
        return chosen;
    for (QTreeWidgetItem* row : list_->selectedItems()) {
        const std::size_t g = row->data(kCopyName, kGroupRole).toULongLong();
        const int c = row->data(kCopyName, kCopyRole).toInt();
        if (c >= 0) {
            chosen.emplace_back(g, std::size_t(c));
            continue;
        }
        for (std::size_t i = 1; i < result_->Groups[g].Copies.size(); ++i)
            chosen.emplace_back(g, i);
    }
    std::sort(chosen.begin(), chosen.end());
    chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
    return chosen;
}

void TDuplicateTab::UpdateButtons() {
    search_->setEnabled(!Running() && !folder_.empty());
    cancel_->setEnabled(Running());
    reclaim_->setEnabled(!Running() && result_ && !result_->Groups.empty());
}

// The meta-object code is compiled with this file rather than on its own.
#include "moc_DuplicateTab.cpp"
