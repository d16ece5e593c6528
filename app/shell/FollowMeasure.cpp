#include "app/shell/FollowMeasure.h"

#include <map>
#include <set>
#include <vector>

#include "engine/AnalizeDisk.h"
#include "engine/DirOrder.h"
#include "engine/DiskSizeList.h"
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
    step.Bytes = step.Folder ? 0 : entry.Size;
    step.Allocated = step.Folder ? 0 : entry.DiskBytes;
    step.Links = step.Folder ? 1 : entry.Links;
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
    // The extra lists are taken while the folder list is still there.
    TExtraLists extras = analyzer.TakeExtras();
    if (const auto it = extras.find(kDiskSizesRole); it != extras.end())
        step.DiskSizes = std::move(it->second);
    step.Dirs = std::move(analyzer.Dirs());
    step.Sizes = std::move(analyzer.DirSizes());
    step.Percents = std::move(analyzer.Percents());
}

std::string NativeParent(const std::string& native) {
    const std::size_t slash = native.find_last_of('/');
    return slash == std::string::npos ? std::string()
                                      : native.substr(0, std::max<std::size_t>(slash, 1));
}

using TFileKey = std::pair<std::uint64_t, std::uint64_t>;  // device, inode
// The folder (drive form) each file of several links counts in, for the
// files whose every link is known.
using TLinkHomes = std::map<TFileKey, std::string>;

TLinkHomes HomesOf(const std::vector<std::vector<std::string>>& knownLinks) {
    TLinkHomes homes;
    for (const std::vector<std::string>& names : knownLinks) {
        TDirEntry first;
        if (names.empty() || !LookupNative(names.front(), first) || first.Links < 2)
            continue;
        std::set<std::string> folders;
        std::uint32_t found = 0;
        for (const std::string& name : std::set<std::string>(names.begin(), names.end())) {
            TDirEntry entry;
            if (LookupNative(name, entry) && entry.Device == first.Device &&
                entry.Inode == first.Inode) {
                ++found;
                folders.insert(DriveForm(NativeParent(name)));
            }
        }
        if (found != first.Links || folders.count(""))
            continue;
        std::string home = *folders.begin();
        for (const std::string& folder : folders)
            if (CompareDirs(folder, home) < 0)
                home = folder;
        homes[{first.Device, first.Inode}] = home;
    }
    return homes;
}

// The folder's files as a scan counts them now, each file once whatever
// its names: those it holds every link of (all files of one link) apart
// from those linked from elsewhere too, which a scan may count in another
// folder; a file whose links are all known counts where a scan counts it.
// Replacing copies by hard links to a kept file thus leaves each folder
// what a scan finds in it.
void Relist(const std::string& native, const TLinkHomes& homes, TFollowPlan& plan) {
    TFollowStep step;
    step.Kind = TFollowStep::TKind::Relist;
    step.To = DriveForm(native);
    std::vector<TDirEntry> entries;
    if (step.To.empty() || !ListFolderNative(native, entries))
        return;
    // Names seen here of each file of several links.
    std::map<std::pair<std::uint64_t, std::uint64_t>, std::pair<std::uint32_t, const TDirEntry*>>
        linked;
    for (const TDirEntry& entry : entries) {
        if (entry.Attr & faDirectory)
            continue;
        if (entry.Links <= 1) {
            step.Bytes += entry.Size;
            step.Allocated += entry.DiskBytes;
            continue;
        }
        auto& seen = linked[{entry.Device, entry.Inode}];
        seen = {seen.first + 1, &entry};
    }
    for (const auto& file : linked) {
        const TDirEntry& entry = *file.second.second;
        const auto home = homes.find(file.first);
        if (home != homes.end()) {
            if (CompareDirs(home->second, step.To) == 0) {
                step.Bytes += entry.Size;
                step.Allocated += entry.DiskBytes;
            }
            continue;
        }
        const bool allHere = file.second.first >= entry.Links;
        (allHere ? step.Bytes : step.LinkedBytes) += entry.Size;
        (allHere ? step.Allocated : step.LinkedAllocated) += entry.DiskBytes;
    }
    step.Folder = true;
    plan.Add(std::move(step));
}

}  // namespace

TFollowPlan MeasureFollowPlan(const cq::desktop::TFileEventLog& log) {
    TFollowPlan plan;
    // The folders a file left or entered, listed once the command is done.
    std::set<std::string> relisted;
    for (const TFileEvent& event : log.Events()) {
        TFollowStep step;
        step.To = DriveForm(event.To);
        step.From =
            event.Kind == TFileEvent::TKind::Moved || event.Kind == TFileEvent::TKind::Deleted
                ? DriveForm(event.From)
                : "";
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
                if (!step.Folder) {
                    relisted.insert(NativeParent(event.From));
                    relisted.insert(NativeParent(event.To));
                }
                break;
            case TFileEvent::TKind::Deleted:
                // Leaves the lists as a move off every drive does: a folder
                // with its stored numbers, a file by its folder's relisting.
                step.Kind = TFollowStep::TKind::Move;
                step.Folder = event.Folder;
                if (!step.Folder)
                    relisted.insert(NativeParent(event.From));
                break;
        }
        plan.Add(std::move(step));
    }
    for (const std::string& folder : relisted)
        Relist(folder, {}, plan);
    return plan;
}

TFollowPlan RelistFollowPlan(const std::vector<std::string>& nativeFolders,
                             const std::vector<std::vector<std::string>>& knownLinks) {
    TFollowPlan plan;
    const TLinkHomes homes = HomesOf(knownLinks);
    for (const std::string& folder :
         std::set<std::string>(nativeFolders.begin(), nativeFolders.end()))
        Relist(folder, homes, plan);
    return plan;
}
