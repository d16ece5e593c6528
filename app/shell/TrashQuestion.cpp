#include "app/shell/TrashQuestion.h"

#include <QMessageBox>
#include <string>

#include "views/common/SpokenText.h"

namespace {

bool Ask(QWidget* owner, const QString& text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("?"), text,
                    QMessageBox::Yes | QMessageBox::No, owner);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

}  // namespace

bool AskTrashOne(QWidget* owner, const QString& shownName, bool folder) {
    const QString text =
        folder ? QStringLiteral("Move the folder \"%1\" and everything in it to the Trash?")
               : QStringLiteral("Move \"%1\" to the Trash?");
    return Ask(owner, text.arg(shownName));
}

bool AskTrashMany(QWidget* owner, const TChosenItems& items) {
    std::int64_t bytes = 0;
    for (const TChosenItem& item : items)
        bytes += item.Size;
    return Ask(owner,
               QStringLiteral("Move these %1 items (%2) and everything in them to the Trash?")
                   .arg(items.size())
                   .arg(SpokenBytesAsMB(std::to_string(bytes))));
}
