#include "app/shell/FollowedActions.h"

#include <string>

#include "app/shell/FollowMeasure.h"
#include "engine/DiscoverRole.h"
#include "engine/DiskSizeList.h"
#include "engine/ResultStore.h"
#include "engine/StoredListText.h"
#include "platform/DriveLetter.h"
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

bool PlanTouchesStore(const TResultStore& store, const TFollowPlan& plan) {
    // The files must be those of the drive the lists hold: a change stored
    // under another drive's names would replace that drive's analysis.
    const TStringList& dirs = store.GlobalDirs();
    const std::size_t at = store.DataFolder.size();
    return plan.ConcernsLists(dirs) && store.PercentsFile.size() > at &&
           UpperDriveLetter(store.PercentsFile[at]) == ListsDriveLetter(dirs);
}

std::function<void(TStoredSet&)> FollowChange(TFollowPlan plan,
                                              std::shared_ptr<std::optional<std::int64_t>> moved) {
    return [plan = std::move(plan), moved = std::move(moved)](TStoredSet& set) {
        // Made after a save that ran meanwhile, the lists may be another
        // drive's by then: they stay as they are.
        if (!plan.ConcernsLists(set.Dirs))
            return;
        const auto allocated = set.Extras.find(kDiskSizesRole);
        TStringList* disk = allocated == set.Extras.end() ? nullptr : &allocated->second;
        bool diskKept = false;
        *moved = plan.Apply(set.Dirs, set.Sizes, set.Percents, disk, &diskKept);
        if (!diskKept)
            set.DropExtra(kDiskSizesRole);
        set.DropExtra(kDiscoverRole);
    };
}

TStoreFollow FollowInStore(TResultStore& store, const TFollowPlan& plan,
                           std::optional<std::int64_t>& moved) {
    // A scan's save behind the views ends first: its lists are then final
    // (a rescan it merged into a newer set replaces them).
    store.WaitUntilNoSaveRuns();
    if (!PlanTouchesStore(store, plan))
        return TStoreFollow::Untouched;
    auto carried = std::make_shared<std::optional<std::int64_t>>();
    const bool stored = store.UpdateStoredSet(FollowChange(plan, carried));
    moved = *carried;
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
