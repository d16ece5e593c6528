#include "engine/FollowPlan.h"

#include <algorithm>

#include "engine/FolderListEdit.h"
#include "engine/StoredListText.h"
#include "platform/DriveForm.h"

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
                                               TStringList& percents) const {
    TFolderListEdit edit(dirs, sizes, percents);
    std::optional<std::int64_t> moved = 0;
    for (const TFollowStep& step : steps_) {
        switch (step.Kind) {
            case TFollowStep::TKind::MakeFolder:
                edit.MakeFolder(step.To);
                break;
            case TFollowStep::TKind::Add:
                if (step.Folder)
                    edit.PutFolder(
                        step.To, TFolderListEdit::RunOfScan(step.Dirs, step.Sizes, step.Percents));
                else if (!step.To.empty())
                    edit.AddBytes(DriveFormParent(step.To), step.Bytes);
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
                } else {
                    edit.AddBytes(DriveFormParent(step.From), -step.Bytes);
                    if (!step.To.empty())
                        edit.AddBytes(DriveFormParent(step.To), step.Bytes);
                    if (moved)
                        *moved += step.Bytes;
                }
                break;
        }
    }
    edit.Finish();
    return moved;
}
