#include "app/help/MenuHelp.h"

#include <QCoreApplication>
#include <QFile>

#include "app/help/HelpManager.h"
#include "platform/desktop/ShellOpen.h"
#include "platform/help/ProgramFiles.h"

namespace cq::app {

QString ProgramHelpFile() {
    const QByteArray folder = QFile::encodeName(QCoreApplication::applicationDirPath());
    return QFile::decodeName(
        help::ProgramFiles::FindData(folder.toStdString(), "Cobaltquarry.chm").c_str());
}

void ShowMenuHelp(THelpManager& manager, const QString& hint) {
    if (!hint.isEmpty()) {
        manager.ShowTopicHelp(hint, manager.ApplicationHelpFile());
    } else if (!manager.OpenHelpFile(manager.ApplicationHelpFile())) {
        desktop::ShellOpen(manager.ApplicationHelpFile());
    }
}

}  // namespace cq::app
