#include "help/engine/ChmBrowser.h"

#include "help/engine/ChmArchive.h"

namespace cq::help {

ChmBrowser::ChmBrowser(const ChmArchive& archive, QWidget* parent)
    : QTextBrowser(parent), archive_(archive) {
    setObjectName(QStringLiteral("HelpPage"));
    // Links are followed here, so that addresses outside the archive are
    // never looked up inside it.
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &ChmBrowser::FollowLink);
}

QUrl ChmBrowser::PageUrl(const QString& archivePath) {
    QUrl url;
    url.setScheme(Scheme());
    const QString path = ChmArchive::NormalizePath(archivePath);
    const int hash = path.indexOf(QLatin1Char('#'));
    url.setPath(hash < 0 ? path : path.left(hash));
    if (hash >= 0) {
        url.setFragment(path.mid(hash + 1));
    }
    return url;
}

QVariant ChmBrowser::loadResource(int type, const QUrl& name) {
    if (name.scheme() != Scheme()) {
        return QTextBrowser::loadResource(type, name);
    }
    const QByteArray data = archive_.Read(name.path());
    if (data.isEmpty()) {
        return {};
    }
    return data;
}

void ChmBrowser::FollowLink(const QUrl& url) {
    if (url.scheme() == Scheme() || url.isRelative()) {
        setSource(source().resolved(url));
        return;
    }
    Q_EMIT ExternalLinkActivated(url);
}

}  // namespace cq::help

// The meta-object code is compiled with this file rather than on its own.
#include "moc_ChmBrowser.cpp"
