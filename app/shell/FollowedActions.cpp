#include "app/shell/FollowedActions.h"

#include <string>

#include "app/shell/FollowMeasure.h"
#include "engine/ResultStore.h"
#include "platform/DriveForm.h"
#include "platform/desktop/FileEventLog.h"
#include "views/common/SpokenText.h"

using namespace cq::desktop;

TFollowedAction TrashFollowed(const std::string& nativePath) {
    TFileEventLog log;
    TActionResult result = MoveItemToTrash(nativePath, nullptr, &log);
    return {std::move(result), MeasureFollowPlan(log)};
}

TFollowedAction RenameFollowed(const std::string& nativePath, const QString& newName) {
    TFileEventLog log;
    TActionResult result = RenameItem(nativePath, newName, nullptr, &log);
    return {std::move(result), MeasureFollowPlan(log)};
}

TFollowedAction PasteFollowed(const TClipboardItems& items, const std::string& folderNativePath,
                              TCopyProgress* progress) {
    TFileEventLog log;
    TActionResult result = PasteItems(items, folderNativePath, progress, &log);
    return {std::move(result), MeasureFollowPlan(log)};
}

TStoreFollow FollowInStore(TResultStore& store, const TFollowPlan& plan,
                           std::optional<std::int64_t>& moved) {
    // A scan's save behind the views ends first: its lists are then final
    // (a rescan it merged into a newer set replaces them).
    store.SettleSave();
    // The files must be those of the drive the lists hold: a change stored
    // under another drive's names would replace that drive's analysis.
    const TStringList& dirs = store.GlobalDirs;
    const std::size_t at = store.DataFolder.size();
    if (!plan.ConcernsLists(dirs) || store.PercentsFile.size() <= at ||
        DriveLetterOf(std::string(1, store.PercentsFile[at]) + ":") != DriveLetterOf(dirs[0]))
        return TStoreFollow::Untouched;
    const bool stored = store.UpdateStoredSet(
        [&](TStringList& d, TStringList& s, TStringList& p) { moved = plan.Apply(d, s, p); });
    return stored ? TStoreFollow::Stored : TStoreFollow::NotStored;
}

QString TrashedNote(std::optional<std::int64_t> bytes) {
    const QString freed = QStringLiteral("the space is freed when the Trash is emptied");
    if (!bytes)
        return QStringLiteral("Moved to the Trash; %1").arg(freed);
    // In megabytes, as the bar list showed the item.
    return QStringLiteral("%1 moved to the Trash; %2")
        .arg(SpokenBytesAsMB(std::to_string(*bytes)), freed);
}
