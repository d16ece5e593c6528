#include "app/help/HtmlHelpViewer.h"

#include <QCoreApplication>
#include <QFile>

#include "platform/help/ProgramFiles.h"

namespace cq::app {
namespace {

// The extension of a name: from its last full stop, unless a folder
// separator follows that stop ("v1.2/page" has none).
QString Extension(const QString& name) {
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    const int slash =
        std::max(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\')));
    return dot > slash ? name.mid(dot) : QString();
}

}  // namespace

THtmlHelpViewer::THtmlHelpViewer(const std::string& pluginPath) : THtmlHelpViewer(nullptr) {
    library_ = help::HelpEngineLibrary(pluginPath);
    htmlHelp_ = library_.Entry();
}

THtmlHelpViewer::THtmlHelpViewer(help::HtmlHelpFunc entry)
    : viewerName_(QStringLiteral("QuenHtmlHelp")),
      defaultExtension_(QStringLiteral(".htm")),
      htmlHelp_(entry),
      programFolder_(QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                                  : QString()) {}

THtmlHelpViewer::~THtmlHelpViewer() {
    // The entry point goes before the library that holds it.
    htmlHelp_ = nullptr;
}

bool THtmlHelpViewer::IsChm(const QString& name) {
    return Extension(name).compare(QLatin1String(".chm"), Qt::CaseInsensitive) == 0;
}

QString THtmlHelpViewer::HelpFile() const {
    QString file = manager_ ? manager_->HelpFile() : QString();
    if (file.isEmpty() && manager_) {
        file = manager_->ApplicationHelpFile();
    }
    if (!file.isEmpty() && !file.contains(QLatin1Char('/'))) {
        // A bare name is the program's own file: beside it or installed.
        file = QFile::decodeName(
            help::ProgramFiles::FindData(QFile::encodeName(programFolder_).toStdString(),
                                         QFile::encodeName(file).toStdString())
                .c_str());
    }
    return file;
}

QString THtmlHelpViewer::TopicWithExtension(const QString& topic) const {
    const QString ext = Extension(topic).toLower();
    if (ext == QLatin1String(".htm") || ext == QLatin1String(".html")) {
        return topic;
    }
    return topic + defaultExtension_;
}

QString THtmlHelpViewer::GetViewerName() const {
    return viewerName_;
}

int THtmlHelpViewer::UnderstandsKeyword(const QString&) {
    return IsChm(HelpFile()) ? 1 : 0;
}

QStringList THtmlHelpViewer::GetHelpStrings(const QString& keyword) {
    return {QStringLiteral("%1: %2").arg(viewerName_, keyword)};
}

bool THtmlHelpViewer::CanShowTableOfContents() {
    return true;
}

void THtmlHelpViewer::ShowTableOfContents() {
    const QString file = HelpFile();
    if (IsChm(file)) {
        HtmlHelp(file, help::HH_DISPLAY_TOC, 0);
    }
}

void THtmlHelpViewer::ShowHelp(const QString& helpString) {
    const QString file = HelpFile();
    if (!IsChm(file)) {
        return;
    }
    const int colon = helpString.indexOf(QLatin1Char(':'));
    const QByteArray keyword = helpString.mid(colon + 1).trimmed().toUtf8();
    HtmlHelp(file, help::HH_DISPLAY_INDEX, reinterpret_cast<std::uintptr_t>(keyword.constData()));
}

void THtmlHelpViewer::NotifyID(int viewerId) {
    viewerId_ = viewerId;
}

void THtmlHelpViewer::SoftShutDown() {
    HtmlHelp(QString(), help::HH_CLOSE_ALL, 0);
}

void THtmlHelpViewer::ShutDown() {
    SoftShutDown();
    manager_ = nullptr;
}

bool THtmlHelpViewer::UnderstandsTopic(const QString&) {
    return IsChm(HelpFile());
}

void THtmlHelpViewer::DisplayTopic(const QString& topic) {
    const QString file = HelpFile();
    if (IsChm(file)) {
        HtmlHelp(file + QStringLiteral("::/") + TopicWithExtension(topic), help::HH_DISPLAY_TOPIC,
                 0);
    }
}

bool THtmlHelpViewer::UnderstandsContext(int, const QString& helpFile) {
    return IsChm(helpFile);
}

void THtmlHelpViewer::DisplayHelpByContext(int contextId, const QString&) {
    const QString file = HelpFile();
    if (IsChm(file)) {
        HtmlHelp(file, help::HH_HELP_CONTEXT, std::uintptr_t(contextId));
    }
}

bool THtmlHelpViewer::OpenHelpFile(const QString& helpFile) {
    if (htmlHelp_ == nullptr || !IsChm(helpFile)) {
        return false;
    }
    // The file alone, without "::/topic": the engine shows its start page.
    HtmlHelp(helpFile, help::HH_DISPLAY_TOPIC, 0);
    return true;
}

int THtmlHelpViewer::SelectKeyword(const QStringList& helpStrings) {
    for (int i = 0; i < helpStrings.size(); ++i) {
        const int colon = helpStrings[i].indexOf(QLatin1Char(':'));
        // A string without a colon names no viewer.
        if (colon >= 0 && helpStrings[i].left(colon) == viewerName_) {
            return i;
        }
    }
    return 0;
}

int THtmlHelpViewer::TableOfContents(const QStringList& viewerNames) {
    return int(viewerNames.indexOf(viewerName_));
}

void THtmlHelpViewer::HtmlHelp(const QString& file, unsigned command, std::uintptr_t data) {
    if (htmlHelp_ == nullptr) {
        return;
    }
    if (command == help::HH_CLOSE_ALL) {
        htmlHelp_(nullptr, nullptr, command, data);
        return;
    }
    const QByteArray address = file.toUtf8();
    htmlHelp_(manager_ ? manager_->HelpOwner() : nullptr, address.constData(), command, data);
}

}  // namespace cq::app
