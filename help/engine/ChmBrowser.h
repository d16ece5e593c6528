#pragma once

#include <QTextBrowser>

namespace cq::help {

class ChmArchive;

// A text browser whose pages, style sheets and pictures come out of a help
// file. Pages are addressed as "chm:/Html/Tree.html", so relative links
// between pages and to pictures resolve inside the archive.
class ChmBrowser : public QTextBrowser {
    Q_OBJECT
  public:
    explicit ChmBrowser(const ChmArchive& archive, QWidget* parent = nullptr);

    QVariant loadResource(int type, const QUrl& name) override;

    static QString Scheme() { return QStringLiteral("chm"); }
    static QUrl PageUrl(const QString& archivePath);

  Q_SIGNALS:
    // A link that leaves the help file (web or mail address).
    void ExternalLinkActivated(const QUrl& url);

  private:
    void FollowLink(const QUrl& url);

    const ChmArchive& archive_;
};

}  // namespace cq::help
