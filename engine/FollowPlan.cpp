#include "engine/FollowPlan.h"

#include <algorithm>

#include "engine/FolderListEdit.h"
#include "engine/StoredListText.h"
#include "platform/DriveForm.h"

namespace {

// A folder listed afresh (see FollowPlan.h): its files of one link count
// as they are now; those of several keep the part of the stored own bytes
// beyond the files of one link, never below zero nor above what they hold
// now. The stored own bytes already carry the command's moves as measured.
std::int64_t RelistedOwn(std::int64_t storedOwn, std::int64_t single, std::int64_t linked) {
    return single + std::clamp<std::int64_t>(storedOwn - single, 0, linked);
}

void Relist(TFolderListEdit& edit, const TFollowStep& step) {
    edit.MakeFolder(step.To);
    std::int64_t own = 0, allocated = 0;
    if (!edit.OwnBytes(step.To, own, allocated))
        return;
    edit.AddBytes(step.To, RelistedOwn(own, step.Bytes, step.LinkedBytes) - own,
                  RelistedOwn(allocated, step.Allocated, step.LinkedAllocated) - allocated);
}

}  // namespace

bool TFollowPlan::ConcernsLists(const TStringList& dirs) const {
    const char letter = ListsDriveLetter(dirs);
    if (letter == 0)
        return false;
    for (const TFollowStep& step : steps_)
        if (DriveLetterOf(step.To) == letter || DriveLetterOf(step.From) == letter)
            return true;
    return false;
}

std::vector<std::string> TFollowPlan::Parents() const {
    std::vector<std::string> parents;
    for (const TFollowStep& step : steps_)
        for (const std::string* path : {&step.From, &step.To})
            if (!path->empty())
                parents.push_back(DriveFormParent(*path));
    std::sort(parents.begin(), parents.end());
    parents.erase(std::unique(parents.begin(), parents.end()), parents.end());
    return parents;
}

std::optional<std::int64_t> TFollowPlan::Apply(TStringList& dirs, TStringList& sizes,
                                               TStringList& percents, TStringList* allocated,
                                               bool* allocatedKept) const {
    TFolderListEdit edit(dirs, sizes, percents, allocated);
    std::optional<std::int64_t> moved = 0;
    for (const TFollowStep& step : steps_) {
        switch (step.Kind) {
            case TFollowStep::TKind::MakeFolder:
                edit.MakeFolder(step.To);
                break;
            case TFollowStep::TKind::Add:
                if (step.Folder)
                    edit.PutFolder(step.To,
                                   TFolderListEdit::RunOfScan(step.Dirs, step.Sizes, step.Percents,
                                                              step.DiskSizes));
                else if (!step.To.empty())
                    edit.AddBytes(DriveFormParent(step.To), step.Bytes, step.Allocated);
                break;
            case TFollowStep::TKind::Move:
                if (step.Folder) {
                    const TFolderRun run = edit.TakeFolder(step.From);
                    if (run.Empty())
                        moved.reset();
                    else if (moved)
                        *moved += StoredSizeOf(run.Sizes[0]);
                    if (!run.Empty() && !step.To.empty())
                        edit.PutFolder(step.To, run);
                    break;
                }
                // As measured where the file is now: what the lists held
                // for it, when it changed since, the Relist steps set right
                // (a subtraction past zero is refused and left to them).
                edit.AddBytes(DriveFormParent(step.From), -step.Bytes, -step.Allocated);
                if (!step.To.empty())
                    edit.AddBytes(DriveFormParent(step.To), step.Bytes, step.Allocated);
                if (moved)
                    *moved += step.Bytes;
                break;
            case TFollowStep::TKind::Relist:
                Relist(edit, step);
                break;
        }
    }
    edit.Finish();
    if (allocatedKept)
        *allocatedKept = edit.AllocatedKept();
    return moved;
}
