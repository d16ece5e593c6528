#include "app/shell/CleanupMenu.h"

#include <QAction>
#include <QMenu>
#include <QMessageBox>
#include <set>

#include "app/shell/CleanupOutputWindow.h"
#include "app/shell/FollowMeasure.h"
#include "app/shell/FollowedActions.h"
#include "engine/CleanupAction.h"
#include "platform/DirListing.h"
#include "platform/DriveForm.h"
#include "platform/NameText.h"
#include "platform/desktop/FileEventLog.h"

namespace {

const QString kPrefix = QStringLiteral("cleanup:");

bool IsFolder(const std::string& path) {
    TDirEntry entry;
    return LookupNative(path, entry) && (entry.Attr & faDirectory) != 0;
}

bool AppliesToAll(const TCleanupAction& action, const std::vector<std::string>& paths) {
    for (const std::string& path : paths)
        if (!CleanupAppliesTo(action, IsFolder(path)))
            return false;
    return !paths.empty();
}

bool Confirmed(QWidget* owner, const TCleanupAction& action,
               const std::vector<std::string>& paths) {
    const QString title = QString::fromStdString(action.Title);
    const QString text =
        paths.size() == 1
            ? QStringLiteral("Run \"%1\" on \"%2\"?").arg(title, VisibleName(paths.front()))
            : QStringLiteral("Run \"%1\" on %2 items?").arg(title).arg(paths.size());
    QMessageBox box(QMessageBox::Warning, QStringLiteral("?"), text,
                    QMessageBox::Yes | QMessageBox::No, owner);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

// The folders to measure again, each once and none below another.
std::vector<std::string> RescanFolders(const TCleanupAction& action,
                                       const std::vector<std::string>& paths) {
    std::set<std::string> folders;
    for (const std::string& path : paths) {
        const std::string folder = CleanupRescanFolder(action, path, IsFolder(path));
        if (!folder.empty())
            folders.insert(folder);
    }
    std::vector<std::string> outer;
    for (const std::string& folder : folders)
        if (outer.empty() || folder.compare(0, outer.back().size() + 1, outer.back() + "/") != 0)
            outer.push_back(folder);
    return outer;
}

// Each folder leaves the stored lists and arrives again as measured now: a
// rescan of it through the item commands' path. A drive's root is not
// measured this way (it cannot leave its own lists): the note says so.
void Remeasure(const std::vector<std::string>& folders, const TCleanupLinks& links) {
    cq::desktop::TFileEventLog log;
    bool root = false;
    for (const std::string& folder : folders) {
        const std::string form = NativeToDriveForm(folder).value_or("");
        if (form.empty())
            continue;
        if (form.find('\\') == std::string::npos) {
            root = true;
            continue;
        }
        log.Deleted(folder, true);
        if (IsFolder(folder))
            log.Appeared(folder);
    }
    if (links.followed)
        links.followed({cq::desktop::TActionResult::Done(), MeasureFollowPlan(log)});
    if (root && links.note)
        links.note(QStringLiteral("Analize the disk again to see what the cleanup changed."));
}

}  // namespace

bool IsCleanupVerb(const QString& verb) {
    return verb.startsWith(kPrefix);
}

void AddCleanupActions(QMenu& menu, const std::vector<std::string>& paths) {
    std::vector<TCleanupAction> actions;
    std::string problem;
    LoadCleanups(actions, problem);
    bool first = true;
    for (std::size_t i = 0; i < actions.size(); ++i) {
        if (!actions[i].Enabled || !AppliesToAll(actions[i], paths))
            continue;
        if (first)
            menu.addSeparator();
        first = false;
        // A title's "&" is a letter of the title, not a mnemonic.
        QString title = QString::fromStdString(actions[i].Title);
        QAction* item = menu.addAction(title.replace(QLatin1Char('&'), QStringLiteral("&&")));
        item->setData(kPrefix + QString::number(i));
    }
}

TCleanupOutputWindow* RunCleanupVerb(QWidget* owner, const QString& verb,
                                     const std::vector<std::string>& paths, TCleanupLinks links) {
    std::vector<TCleanupAction> actions;
    std::string problem;
    LoadCleanups(actions, problem);
    bool number = false;
    const std::size_t index = verb.mid(kPrefix.size()).toULongLong(&number);
    if (!number || index >= actions.size() || !AppliesToAll(actions[index], paths))
        return nullptr;
    const TCleanupAction action = actions[index];
    if (action.Confirm && !Confirmed(owner, action, paths))
        return nullptr;
    std::vector<TCleanupOutputWindow::TArgv> runs;
    for (const std::string& path : paths)
        runs.push_back(CleanupArgv(action, path));
    auto* window =
        new TCleanupOutputWindow(QString::fromStdString(action.Title), std::move(runs), owner);
    window->setAttribute(Qt::WA_DeleteOnClose);
    const std::vector<std::string> folders = RescanFolders(action, paths);
    window->Ended = [folders, links](bool) {
        // Also after a failure or a stop: what ran may have changed things.
        if (!folders.empty())
            Remeasure(folders, links);
    };
    window->show();
    window->Start();
    return window;
}
