#include "app/help/MenuHelp.h"

#include <QCoreApplication>
#include <QDir>

#include "app/help/HelpManager.h"
#include "platform/desktop/ShellOpen.h"

namespace cq::app {

QString ProgramHelpFile() {
    return QDir(QCoreApplication::applicationDirPath())
        .filePath(QStringLiteral("Cobaltquarry.chm"));
}

void ShowMenuHelp(THelpManager& manager, const QString& hint) {
    if (!hint.isEmpty()) {
        manager.ShowTopicHelp(hint, manager.ApplicationHelpFile());
    } else {
        desktop::ShellOpen(manager.ApplicationHelpFile());
    }
}

}  // namespace cq::app
