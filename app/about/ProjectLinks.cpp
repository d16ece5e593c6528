#include "app/about/ProjectLinks.h"

#ifndef CQ_HOME_PAGE
#define CQ_HOME_PAGE ""
#endif
#ifndef CQ_MAKER_MAIL
#define CQ_MAKER_MAIL ""
#endif

namespace cq::app {

QString HomePageAddress() {
    return QString::fromUtf8(CQ_HOME_PAGE).trimmed();
}

QString MakerMailAddress() {
    return MailLink(QString::fromUtf8(CQ_MAKER_MAIL));
}

QString MailLink(const QString& configured) {
    const QString address = configured.trimmed();
    if (address.isEmpty() || address.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive)) {
        return address;
    }
    return QStringLiteral("mailto:") + address;
}

}  // namespace cq::app
