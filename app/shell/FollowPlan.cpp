#include "app/shell/FollowPlan.h"

#include <sys/stat.h>

#include "engine/AnalizeDisk.h"
#include "engine/FolderListEdit.h"
#include "engine/NumberText.h"
#include "engine/StoredListText.h"
#include "platform/DriveForm.h"
#include "platform/desktop/FileEventLog.h"

using cq::desktop::TFileEvent;

namespace {

std::string DriveForm(const std::string& native) {
    return NativeToDriveForm(native).value_or("");
}

std::string ParentOf(const std::string& path) {
    return path.substr(0, path.rfind('\\'));
}

}  // namespace

// A folder is walked as a scan walks it (same attributes, filter and
// hard-link rule); a file or link counts with its own size, as the scan's
// listing reports it.
void TFollowPlan::MeasureAppeared(const std::string& native, TStep& step) {
    struct stat st;
    if (::lstat(native.c_str(), &st) != 0)
        return;
    step.Folder = S_ISDIR(st.st_mode);
    if (!step.Folder) {
        step.Bytes = st.st_size;
        return;
    }
    TAnalizeDisk analyzer;
    analyzer.Directory = step.To;
    analyzer.Recurse = true;
    analyzer.Execute();
    step.Dirs = std::move(analyzer.Dirs());
    step.Sizes = std::move(analyzer.DirSizes());
    step.Percents = std::move(analyzer.Percents());
}

TFollowPlan TFollowPlan::Measure(const cq::desktop::TFileEventLog& log) {
    TFollowPlan plan;
    for (const TFileEvent& event : log.Events()) {
        TStep step;
        step.To = DriveForm(event.To);
        step.From = event.Kind == TFileEvent::TKind::Moved ? DriveForm(event.From) : "";
        if (step.To.empty() && step.From.empty())
            continue;
        switch (event.Kind) {
            case TFileEvent::TKind::FolderMade:
                step.Kind = TStep::TKind::MakeFolder;
                break;
            case TFileEvent::TKind::Appeared:
                step.Kind = TStep::TKind::Add;
                MeasureAppeared(event.To, step);
                break;
            case TFileEvent::TKind::Moved: {
                // From off every drive: nothing of it is stored, measure it.
                if (step.From.empty()) {
                    step.Kind = TStep::TKind::Add;
                    MeasureAppeared(event.To, step);
                    break;
                }
                step.Kind = TStep::TKind::Move;
                struct stat st;
                if (::lstat(event.To.c_str(), &st) != 0)
                    continue;
                step.Folder = S_ISDIR(st.st_mode);
                step.Bytes = step.Folder ? 0 : st.st_size;
                break;
            }
        }
        plan.steps_.push_back(std::move(step));
    }
    return plan;
}

bool TFollowPlan::ConcernsLists(const TStringList& dirs) const {
    const char letter = ListsDriveLetter(dirs);
    if (letter == 0)
        return false;
    for (const TStep& step : steps_)
        if (DriveLetterOf(step.To) == letter || DriveLetterOf(step.From) == letter)
            return true;
    return false;
}

std::optional<std::int64_t> TFollowPlan::Apply(TStringList& dirs, TStringList& sizes,
                                               TStringList& percents) const {
    TFolderListEdit edit(dirs, sizes, percents);
    std::optional<std::int64_t> moved = 0;
    for (const TStep& step : steps_) {
        switch (step.Kind) {
            case TStep::TKind::MakeFolder:
                edit.MakeFolder(step.To);
                break;
            case TStep::TKind::Add:
                if (step.Folder)
                    edit.PutFolder(
                        step.To, TFolderListEdit::RunOfScan(step.Dirs, step.Sizes, step.Percents));
                else if (!step.To.empty())
                    edit.AddBytes(ParentOf(step.To), step.Bytes);
                break;
            case TStep::TKind::Move:
                if (step.Folder) {
                    const TFolderRun run = edit.TakeFolder(step.From);
                    if (run.Empty())
                        moved.reset();
                    else if (moved)
                        *moved += StoredSizeOf(run.Sizes[0]);
                    if (!run.Empty() && !step.To.empty())
                        edit.PutFolder(step.To, run);
                } else {
                    edit.AddBytes(ParentOf(step.From), -step.Bytes);
                    if (!step.To.empty())
                        edit.AddBytes(ParentOf(step.To), step.Bytes);
                    if (moved)
                        *moved += step.Bytes;
                }
                break;
        }
    }
    edit.Finish();
    return moved;
}
