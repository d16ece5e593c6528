#include "views/common/SpokenText.h"

#include <QStringList>

#include "views/common/NumberText.h"

QString SpokenMB(const QString& mbText) {
    return mbText + QStringLiteral(" MB");
}

QString SpokenBytesAsMB(std::string_view sizeText) {
    return SpokenMB(QString::fromStdString(FormatMB(sizeText)));
}

QString SpokenShare(const QString& percentText) {
    return percentText + QStringLiteral(" percent");
}

QString SpokenChange(const QString& changeText) {
    if (changeText.isEmpty())
        return changeText;
    const qsizetype space = changeText.indexOf(QLatin1Char(' '));
    if (space < 0)
        return SpokenMB(changeText);
    return SpokenMB(changeText.left(space)) + changeText.mid(space);
}

QString SpokenItem(const QString& name, const std::optional<QString>& size,
                   const std::optional<QString>& share) {
    QStringList parts{name};
    if (size)
        parts << *size;
    if (share)
        parts << *share;
    return parts.join(QStringLiteral(", "));
}
