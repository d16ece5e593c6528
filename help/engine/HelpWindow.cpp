#include "help/engine/HelpWindow.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QStringDecoder>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

#include "help/engine/ChmArchive.h"
#include "help/engine/ChmBrowser.h"
#include "platform/desktop/ShellOpen.h"

namespace cq::help {
namespace {

constexpr int kLocalRole = Qt::UserRole;

QString DecodeSiteMap(const QByteArray& data) {
    // Sitemaps are usually written in the help file's ANSI code page; the
    // declared charset wins, otherwise UTF-8 when valid, else Latin-1.
    auto decoder = QStringDecoder::decoderForHtml(data);
    if (decoder.isValid()) {
        return decoder.decode(data);
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(data);
    return utf8.hasError() ? QString::fromLatin1(data) : text;
}

}  // namespace

HelpWindow::HelpWindow(std::unique_ptr<ChmArchive> archive, QWidget* parent)
    : QWidget(parent, Qt::Window), archive_(std::move(archive)) {
    setObjectName(QStringLiteral("HtmlHelpWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    const QString title = archive_->Title();
    setWindowTitle(title.isEmpty() ? QStringLiteral("Help") : title);
    resize(780, 540);

    tabs_ = new QTabWidget;
    contents_ = new QTreeWidget;
    contents_->setObjectName(QStringLiteral("HelpContents"));
    contents_->setHeaderHidden(true);
    tabs_->addTab(contents_, tr("Contents"));

    auto* indexPage = new QWidget;
    indexKeyword_ = new QLineEdit;
    indexKeyword_->setObjectName(QStringLiteral("HelpIndexKeyword"));
    index_ = new QListWidget;
    index_->setObjectName(QStringLiteral("HelpIndex"));
    auto* display = new QPushButton(tr("Display"));
    auto* indexLayout = new QVBoxLayout(indexPage);
    indexLayout->setContentsMargins(4, 4, 4, 4);
    indexLayout->addWidget(indexKeyword_);
    indexLayout->addWidget(index_);
    indexLayout->addWidget(display, 0, Qt::AlignRight);
    tabs_->addTab(indexPage, tr("Index"));

    browser_ = new ChmBrowser(*archive_);
    auto* split = new QSplitter;
    split->addWidget(tabs_);
    split->addWidget(browser_);
    split->setStretchFactor(1, 1);
    split->setSizes({230, 550});

    auto* tools = new QToolBar;
    tools->addAction(tr("Back"), browser_, &QTextBrowser::backward);
    tools->addAction(tr("Forward"), browser_, &QTextBrowser::forward);
    tools->addAction(tr("Home"), this, &HelpWindow::ShowStartPage);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tools);
    layout->addWidget(split);

    BuildContents();
    BuildIndex();

    // Closed from the keyboard like other help and document windows.
    for (const QKeySequence& key :
         {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
        auto* shortcut = new QShortcut(key, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, &QWidget::close);
    }

    connect(contents_, &QTreeWidget::itemActivated, this, &HelpWindow::ContentsItemActivated);
    connect(contents_, &QTreeWidget::itemClicked, this, &HelpWindow::ContentsItemActivated);
    connect(index_, &QListWidget::itemActivated, this, &HelpWindow::IndexItemActivated);
    connect(index_, &QListWidget::itemDoubleClicked, this, &HelpWindow::IndexItemActivated);
    connect(display, &QPushButton::clicked, this, &HelpWindow::IndexOpenSelected);
    connect(indexKeyword_, &QLineEdit::textEdited, this, &HelpWindow::SelectIndexEntry);
    connect(indexKeyword_, &QLineEdit::returnPressed, this, &HelpWindow::IndexOpenSelected);
    connect(browser_, &ChmBrowser::sourceChanged, this, &HelpWindow::SyncContents);
    connect(browser_, &ChmBrowser::ExternalLinkActivated, this,
            [](const QUrl& url) { desktop::ShellOpen(url.toString()); });
}

HelpWindow::~HelpWindow() = default;

const QString& HelpWindow::FileName() const {
    return archive_->FileName();
}

void HelpWindow::ShowTopic(const QString& topic) {
    if (topic.isEmpty()) {
        ShowStartPage();
    } else {
        ShowPage(topic);
    }
    Raise();
}

void HelpWindow::ShowContents() {
    tabs_->setCurrentWidget(contents_);
    if (CurrentPage().isEmpty()) {
        ShowStartPage();
    }
    Raise();
}

void HelpWindow::ShowIndex(const QString& keyword) {
    tabs_->setCurrentIndex(1);
    indexKeyword_->setText(keyword);
    SelectIndexEntry(keyword);
    if (CurrentPage().isEmpty()) {
        ShowStartPage();
    }
    Raise();
}

QString HelpWindow::CurrentPage() const {
    const QUrl source = browser_->source();
    return source.scheme() == ChmBrowser::Scheme() ? source.path() : QString();
}

void HelpWindow::BuildContents() {
    const QString file = archive_->ContentsFile();
    if (!file.isEmpty()) {
        AddContentsItems(nullptr, ParseSiteMap(DecodeSiteMap(archive_->Read(file))));
    }
    contents_->expandAll();
}

void HelpWindow::BuildIndex() {
    const QString file = archive_->IndexFile();
    if (!file.isEmpty()) {
        AddIndexItems(ParseSiteMap(DecodeSiteMap(archive_->Read(file))), 0);
    }
}

void HelpWindow::AddContentsItems(QTreeWidgetItem* parent,
                                  const std::vector<SiteMapEntry>& entries) {
    for (const SiteMapEntry& entry : entries) {
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(contents_);
        item->setText(0, entry.name);
        item->setData(0, kLocalRole, entry.local);
        AddContentsItems(item, entry.children);
    }
}

void HelpWindow::AddIndexItems(const std::vector<SiteMapEntry>& entries, int depth) {
    for (const SiteMapEntry& entry : entries) {
        auto* item = new QListWidgetItem(QString(depth * 4, QLatin1Char(' ')) + entry.name, index_);
        item->setData(kLocalRole, entry.local);
        AddIndexItems(entry.children, depth + 1);
    }
}

void HelpWindow::ShowPage(const QString& archivePath) {
    const QUrl url = ChmBrowser::PageUrl(archivePath);
    if (!archive_->Contains(url.path())) {
        browser_->setHtml(
            tr("<h3>The page cannot be displayed</h3><p>%1 is not in this help file.</p>")
                .arg(archivePath.toHtmlEscaped()));
        return;
    }
    browser_->setSource(url);
}

void HelpWindow::ShowStartPage() {
    QString start = archive_->DefaultTopic();
    if (start.isEmpty() || !archive_->Contains(start)) {
        // Without a declared start page the first page of the contents serves.
        QTreeWidgetItem* first =
            contents_->topLevelItemCount() ? contents_->topLevelItem(0) : nullptr;
        start = first ? first->data(0, kLocalRole).toString() : QString();
    }
    if (!start.isEmpty()) {
        ShowPage(start);
    }
}

void HelpWindow::SelectIndexEntry(const QString& keyword) {
    const QString wanted = keyword.trimmed();
    for (int row = 0; row < index_->count(); ++row) {
        QListWidgetItem* item = index_->item(row);
        if (item->text().trimmed().startsWith(wanted, Qt::CaseInsensitive)) {
            index_->setCurrentItem(item);
            index_->scrollToItem(item, QAbstractItemView::PositionAtTop);
            return;
        }
    }
    index_->setCurrentItem(nullptr);
}

void HelpWindow::ContentsItemActivated(QTreeWidgetItem* item) {
    const QString local = item ? item->data(0, kLocalRole).toString() : QString();
    if (!local.isEmpty()) {
        ShowPage(local);
    }
}

void HelpWindow::IndexItemActivated(QListWidgetItem* item) {
    const QString local = item ? item->data(kLocalRole).toString() : QString();
    if (!local.isEmpty()) {
        ShowPage(local);
    }
}

void HelpWindow::IndexOpenSelected() {
    IndexItemActivated(index_->currentItem());
}

void HelpWindow::SyncContents() {
    const QString page = CurrentPage();
    for (QTreeWidgetItemIterator it(contents_); *it; ++it) {
        const QString local = (*it)->data(0, kLocalRole).toString();
        if (!local.isEmpty() &&
            ChmArchive::NormalizePath(local).compare(page, Qt::CaseInsensitive) == 0) {
            contents_->setCurrentItem(*it);
            return;
        }
    }
}

void HelpWindow::Raise() {
    show();
    raise();
    activateWindow();
}

}  // namespace cq::help

// The meta-object code is compiled with this file rather than on its own.
#include "moc_HelpWindow.cpp"
