#include "app/drives/PlainWarning.h"

#include <QMessageBox>

void ShowPlainWarning(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Warning, QString(), text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
