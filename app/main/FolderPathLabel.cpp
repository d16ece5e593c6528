#include "app/main/FolderPathLabel.h"

#include <QFile>
#include <QPainter>
#include <QStyle>
#include <algorithm>

TFolderPathLabel::TFolderPathLabel(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    setAccessibleDescription(QStringLiteral("Current folder"));
}

void TFolderPathLabel::SetPath(const std::string& nativePath) {
    SetText(ReadablePath(nativePath));
}

void TFolderPathLabel::SetText(const QString& text) {
    text_ = text;
    setToolTip(text_);
    // A reader hears the whole path, never the shortened one.
    setAccessibleName(text_);
    update();
}

QString TFolderPathLabel::ShownText() const {
    const int room = contentsRect().width() - 2 * style()->pixelMetric(QStyle::PM_ButtonMargin);
    return fontMetrics().elidedText(text_, Qt::ElideMiddle, std::max(room, 0));
}

QSize TFolderPathLabel::sizeHint() const {
    // Small on purpose: the label takes whatever room the tool bar has left
    // and elides the rest, instead of pushing itself out of the bar.
    return minimumSizeHint();
}

QSize TFolderPathLabel::minimumSizeHint() const {
    return {fontMetrics().horizontalAdvance(QStringLiteral("X:\\...")), fontMetrics().height()};
}

void TFolderPathLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const QRect area =
        contentsRect().adjusted(style()->pixelMetric(QStyle::PM_ButtonMargin), 0, 0, 0);
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, ShownText());
}

QString ReadablePath(const std::string& nativePath) {
    QString text = QFile::decodeName(QByteArray::fromStdString(nativePath));
    for (QChar& c : text) {
        const QChar::Category kind = c.category();
        if (kind == QChar::Other_Control || kind == QChar::Separator_Line ||
            kind == QChar::Separator_Paragraph) {
            c = QLatin1Char('?');
        }
    }
    return text;
}

// The meta-object code is compiled with this file rather than on its own.
#include "moc_FolderPathLabel.cpp"
