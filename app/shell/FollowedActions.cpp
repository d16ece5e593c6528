#include "app/shell/FollowedActions.h"

#include <string>

#include "app/shell/FollowMeasure.h"
#include "engine/DiscoverFollow.h"
#include "engine/DiscoverRole.h"
#include "engine/DiskSizeList.h"
#include "engine/DuplicateKind.h"
#include "engine/ResultStore.h"
#include "engine/StoredListText.h"
#include "platform/DriveForm.h"
#include "platform/DriveLetter.h"
#include "platform/desktop/FileEventLog.h"
#include "views/common/SpokenText.h"

using namespace cq::desktop;

namespace {

// The file or folder at a drive-form path, as a scan would collect it.
bool Measured(const std::string& driveForm, const TDiscoverData& data, TDiscoverData& item) {
    return !driveForm.empty() && CollectItemDiscover(driveForm, data.ScanTime, item);
}

// The file as one of the lists holds it, when one does.
const TLargeFile* ListedFile(const TDiscoverData& data, std::string_view path) {
    auto find = [path](const std::vector<TLargeFile>& files) -> const TLargeFile* {
        for (const TLargeFile& file : files)
            if (file.Path == path)
                return &file;
        return nullptr;
    };
    if (const TLargeFile* file = find(data.Largest))
        return file;
    const auto type = data.TypeFiles.find(FileTypeOf(path));
    if (type != data.TypeFiles.end())
        if (const TLargeFile* file = find(type->second.Files))
            return file;
    return find(data.Old.Files);
}

// A file moved within the drive. One that changed since the scan, as the
// lists held it, leaves with what they held and arrives as it is now, so
// its type's totals and every list follow; otherwise it is renamed (its
// type may change with its name).
void FollowFileMove(const TFollowStep& step, const TDiscoverData& item, TDiscoverData& data) {
    const TLargeFile* now = item.Largest.empty() ? nullptr : &item.Largest.front();
    const TLargeFile* was = now ? ListedFile(data, step.From) : nullptr;
    if (was == nullptr ||
        (was->Size == now->Size && was->Allocated == now->Allocated && was->MTime == now->MTime)) {
        DiscoverFollowMove(data, step.From, step.To, now);
        return;
    }
    TDiscoverData held;
    const TTypeTotal one{FileTypeOf(step.From), 1, was->Size, was->Allocated};
    if (one.Ext.empty())
        held.Types.NoExtension = one;
    else
        held.Types.Kept.push_back(one);
    DiscoverFollowLeave(data, step.From, held);
    DiscoverFollowArrive(data, item);
}

// One step followed in the Discover data of the drive with that letter.
void FollowStep(const TFollowStep& step, char letter, TDiscoverData& data) {
    const bool fromHere = !step.From.empty() && DriveLetterOf(step.From) == letter;
    const bool toHere = !step.To.empty() && DriveLetterOf(step.To) == letter;
    TDiscoverData item;
    if (step.Kind == TFollowStep::TKind::Add ||
        (step.Kind == TFollowStep::TKind::Move && !fromHere)) {
        if (toHere && Measured(step.To, data, item))
            DiscoverFollowArrive(data, item);
        return;
    }
    if (step.Kind != TFollowStep::TKind::Move)
        return;
    if (toHere && !step.Folder && Measured(step.To, data, item)) {
        FollowFileMove(step, item, data);
    } else if (toHere) {
        DiscoverFollowMove(data, step.From, step.To, nullptr);
    } else if (Measured(step.To, data, item)) {
        DiscoverFollowLeave(data, step.From, item);
    } else {
        DiscoverFollowLeave(data, step.From);
    }
}

// The Discover data follows the plan's steps as the lists do, measuring the
// items where they are now (a folder is walked: this runs on the save's
// thread). Data that cannot be read is dropped, not known until a scan.
void FollowDiscover(const TFollowPlan& plan, TStoredSet& set) {
    const auto lines = set.Extras.find(kDiscoverRole);
    if (lines == set.Extras.end())
        return;
    TDiscoverData data;
    std::string error;
    if (!TDiscoverData::FromLines(lines->second, data, error)) {
        set.DropExtra(kDiscoverRole);
        return;
    }
    const char letter = ListsDriveLetter(set.Dirs);
    for (const TFollowStep& step : plan.Steps())
        FollowStep(step, letter, data);
    lines->second = data.Lines();
}

}  // namespace

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
        FollowDiscover(plan, set);
        MarkDuplicatesAsOf(set, plan.Parents());
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
