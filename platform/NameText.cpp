#include "platform/NameText.h"

#include <QByteArray>
#include <QFile>

QString VisibleName(std::string_view rawBytes) {
    const QByteArray bytes(rawBytes.data(), static_cast<qsizetype>(rawBytes.size()));
    return VisibleControls(QFile::decodeName(bytes));
}

QString VisibleControls(const QString& text) {
    QString shown = text;
    for (QChar& c : shown) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char('?');
    }
    return shown;
}
