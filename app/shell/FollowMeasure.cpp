#include "app/shell/FollowMeasure.h"

#include "engine/AnalizeDisk.h"
#include "platform/DirListing.h"
#include "platform/DriveForm.h"
#include "platform/desktop/FileEventLog.h"

using cq::desktop::TFileEvent;

namespace {

std::string DriveForm(const std::string& native) {
    return NativeToDriveForm(native).value_or("");
}

// Whether the item is there, and then whether it is a folder (a link is
// not) and its size as the scan's listing reports it.
bool Describe(const std::string& native, TFollowStep& step) {
    TDirEntry entry;
    if (!LookupNative(native, entry))
        return false;
    step.Folder = (entry.Attr & faDirectory) != 0;
    step.Bytes = step.Folder ? 0 : entry.StatSize;
    return true;
}

// A folder is walked as a scan walks it (same attributes, filter and
// hard-link rule); a file or link counts with its own size.
void MeasureAppeared(const std::string& native, TFollowStep& step) {
    if (!Describe(native, step) || !step.Folder)
        return;
    TAnalizeDisk analyzer;
    analyzer.Directory = step.To;
    analyzer.Recurse = true;
    analyzer.Execute();
    step.Dirs = std::move(analyzer.Dirs());
    step.Sizes = std::move(analyzer.DirSizes());
    step.Percents = std::move(analyzer.Percents());
}

}  // namespace

TFollowPlan MeasureFollowPlan(const cq::desktop::TFileEventLog& log) {
    TFollowPlan plan;
    for (const TFileEvent& event : log.Events()) {
        TFollowStep step;
        step.To = DriveForm(event.To);
        step.From = event.Kind == TFileEvent::TKind::Moved ? DriveForm(event.From) : "";
        if (step.To.empty() && step.From.empty())
            continue;
        switch (event.Kind) {
            case TFileEvent::TKind::FolderMade:
                step.Kind = TFollowStep::TKind::MakeFolder;
                break;
            case TFileEvent::TKind::Appeared:
                step.Kind = TFollowStep::TKind::Add;
                MeasureAppeared(event.To, step);
                break;
            case TFileEvent::TKind::Moved:
                // From off every drive: nothing of it is stored, measure it.
                if (step.From.empty()) {
                    step.Kind = TFollowStep::TKind::Add;
                    MeasureAppeared(event.To, step);
                    break;
                }
                step.Kind = TFollowStep::TKind::Move;
                if (!Describe(event.To, step))
                    continue;
                break;
        }
        plan.Add(std::move(step));
    }
    return plan;
}
