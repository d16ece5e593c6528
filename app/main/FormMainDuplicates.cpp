// The window's side of the duplicate search: Analize > "Find duplicates..."
// and the Discover panel's Duplicates tab, reclaiming (asked as other
// commands ask, run on a worker behind a progress box with Cancel) with the
// stored analysis following what was done as after any item command, and
// the last result kept with the drive's stored results.
#include <QDateTime>
#include <QMessageBox>
#include <map>
#include <set>

#include "app/discover/DiscoverPanel.h"
#include "app/discover/DuplicateReclaimDialog.h"
#include "app/discover/DuplicateReclaimRun.h"
#include "app/discover/DuplicateTab.h"
#include "app/main/FormMain.h"
#include "app/main/ItemCommands.h"
#include "app/scan/ScanControl.h"
#include "app/shell/FollowMeasure.h"
#include "app/shell/ItemContextMenu.h"
#include "app/shell/ItemPropertiesDialog.h"
#include "app/shell/ManyFollowed.h"
#include "app/shell/TrashQuestion.h"
#include "engine/DuplicateFollow.h"
#include "engine/DuplicateKind.h"
#include "engine/DuplicateText.h"
#include "engine/ResultStore.h"
#include "platform/DriveForm.h"
#include "views/common/DisplayText.h"

namespace {

std::string NativeParent(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos || slash == 0 ? "/" : path.substr(0, slash);
}

// The reclaim steps the dialog's answers ask for.
std::vector<TReclaimStep> StepsFor(const TDuplicateResult& result, const TDuplicateTab& tab,
                                   const TDuplicateReclaimDialog& dialog) {
    if (dialog.AllButOne())
        return AllButKept(result, dialog.Rule());
    std::vector<TReclaimStep> steps;
    const auto chosen = tab.ChosenCopies();
    for (std::size_t g = 0; g < result.Groups.size(); ++g) {
        std::vector<std::size_t> copies;
        for (const auto& c : chosen)
            if (c.first == g)
                copies.push_back(c.second);
        for (TReclaimStep& s : ChosenCopies(result.Groups[g], copies, dialog.Rule()))
            steps.push_back(std::move(s));
    }
    return steps;
}

// The folders of the replaced names listed afresh. A kept file that names
// replaced by hard links joined counts, as in a scan, in the first folder
// of all its names: its own folders are listed too, with its names known.
TFollowPlan ReplacedFollowPlan(TReclaimAction action, const std::vector<TReclaimStep>& steps,
                               const TReclaimReport& report) {
    const std::set<std::string> changed(report.Changed.begin(), report.Changed.end());
    std::vector<std::string> folders;
    std::map<std::pair<std::uint64_t, std::uint64_t>, std::set<std::string>> linked;
    for (const TReclaimStep& step : steps) {
        auto& names = linked[{step.Kept.Device, step.Kept.Inode}];
        for (const std::string& name : step.Target.Names)
            if (changed.count(name)) {
                folders.push_back(NativeParent(name));
                names.insert(name);
            }
        if (action != TReclaimAction::kHardLink || names.empty())
            continue;
        for (const std::string& name : step.Kept.Names) {
            folders.push_back(NativeParent(name));
            names.insert(name);
        }
    }
    std::vector<std::vector<std::string>> known;
    for (const auto& file : linked)
        if (action == TReclaimAction::kHardLink && !file.second.empty())
            known.emplace_back(file.second.begin(), file.second.end());
    return RelistFollowPlan(folders, known);
}

// Moving copies to the Trash asks as moving items chosen in a list does;
// the bytes of a copy count once, whatever its hard-linked names.
bool AskTrashCopies(QWidget* owner, const std::vector<TReclaimStep>& steps) {
    TChosenItems items;
    for (const TReclaimStep& step : steps)
        for (const std::string& name : step.Target.Names)
            items.push_back({NativeToDriveForm(name).value_or(name), false,
                             name == step.Target.Names.front() ? step.Size : 0});
    if (items.size() == 1) {
        const std::string& name = steps.front().Target.Names.front();
        return AskTrashOne(owner, DisplayText(EscapeName(name.substr(name.rfind('/') + 1))), false);
    }
    return AskTrashMany(owner, items);
}

bool ConfirmReclaim(QWidget* owner, TReclaimAction action, const std::vector<TReclaimStep>& steps) {
    if (action == TReclaimAction::kTrash)
        return AskTrashCopies(owner, steps);
    std::int64_t bytes = 0;
    for (const TReclaimStep& s : steps)
        bytes += s.Size;
    return QMessageBox::question(
               owner, "Reclaim duplicates",
               QString("Reclaim %1 copies of %2 bytes in all?").arg(steps.size()).arg(bytes)) ==
           QMessageBox::Yes;
}

QString LeftText(const TReclaimReport& report) {
    QString text;
    if (!report.Failure.empty())
        text += QString("The reclaim stopped: %1; %2 copies were not reached.\n")
                    .arg(QString::fromStdString(report.Failure))
                    .arg(report.NotReached);
    else if (report.NotReached > 0)
        text += QString("The reclaim was cancelled: %1 copies were not reached.\n")
                    .arg(report.NotReached);
    if (report.Left.empty())
        return text;
    text += QString("%1 names were left alone:\n").arg(report.Left.size());
    for (std::size_t i = 0; i < report.Left.size() && i < 12; ++i)
        text += QString::fromLocal8Bit(report.Left[i].first.c_str()) + ": " +
                QString::fromStdString(report.Left[i].second) + "\n";
    if (report.Left.size() > 12)
        text += "\u2026";
    return text;
}

}  // namespace

void TFormMain::CreateDuplicates() {
    TDuplicateTab* tab = FDiscover->Duplicates();
    tab->OnGoTo = [this](const std::string& path) { GoToItem(path); };
    tab->OnItemMenu = FDiscover->OnItemMenu;
    tab->OnReclaim = [this] { ReclaimDuplicates(); };
    SetDuplicateBytesLookup([this](const std::string& driveForm) -> std::optional<std::int64_t> {
        const auto& result = FDiscover->Duplicates()->Result();
        const auto native = DriveFormToNative(driveForm);
        if (!result || !native)
            return std::nullopt;
        const std::string root = result->Root == "/" ? "" : result->Root;
        // Only a folder the search covered can tell.
        if (*native != result->Root && native->compare(0, root.size() + 1, root + "/") != 0)
            return std::nullopt;
        return result->WasteInside(*native);
    });
    tab->OnFound = [this](std::shared_ptr<const TDuplicateResult> result) {
        StoreDuplicates(std::move(result));
    };
}

void TFormMain::FindDuplicates() {
    TDuplicateTab* tab = FDiscover->Duplicates();
    FDiscover->ShowDuplicates();
    if (tab->Running())
        return;
    if (const auto native = DriveFormToNative(CurrentFolder()))
        tab->SetFolder(*native);
    tab->Start();
}

void TFormMain::ReclaimDuplicates() {
    TDuplicateTab* tab = FDiscover->Duplicates();
    const auto result = tab->Result();
    if (!result || tab->Running())
        return;
    TDuplicateReclaimDialog dialog(this, tab->ChosenCopies().size(),
                                   QString::fromLocal8Bit(result->Root.c_str()));
    if (dialog.exec() != QDialog::Accepted)
        return;
    const std::vector<TReclaimStep> steps = StepsFor(*result, *tab, dialog);
    if (steps.empty() || !ConfirmReclaim(this, dialog.Action(), steps))
        return;
    // Filled on the worker, read here once it has ended.
    std::vector<TFollowedAction> trashed;
    TDuplicateReclaim reclaim(dialog.Action(), [&](const std::string& path, std::string& error) {
        trashed.push_back(TrashFollowed(path));
        error = trashed.back().Result.error.toStdString();
        return trashed.back().Result.ok;
    });
    const TReclaimReport report = RunReclaimBehindProgress(this, reclaim, steps);

    // The numbers follow as after any item command, in one change.
    const bool trash = dialog.Action() == TReclaimAction::kTrash;
    if (trash ? !trashed.empty() : !report.Changed.empty()) {
        const TFollowedAction done =
            trash ? JoinFollowed(trashed)
                  : TFollowedAction{cq::desktop::TActionResult::Done(),
                                    ReplacedFollowPlan(dialog.Action(), steps, report)};
        const TItemMenuLinks links = FItems->MenuLinks();
        FollowAndNote(links, trash ? ItemVerb::kDelete : QStringLiteral("reclaim"), done);
        if (links.foldersChanged)
            links.foldersChanged(done.Plan.Parents());
        if (links.rereadAndRebuild)
            links.rereadAndRebuild();
    }
    auto followed = std::make_shared<const TDuplicateResult>(
        FollowReclaim(*result, dialog.Action(), steps, report));
    tab->SetResult(followed);
    StoreDuplicates(followed);
    if (!report.Left.empty() || report.NotReached > 0)
        QMessageBox::information(this, "Reclaim duplicates", LeftText(report));
}

void TFormMain::StoreDuplicates(std::shared_ptr<const TDuplicateResult> result) {
    // Kept only with the stored results of the drive searched.
    const auto root = NativeToDriveForm(result->Root);
    if (ShowsOpenedScan() || !root || Store.GlobalDirs().empty() ||
        Store.GlobalDirs()[0].substr(0, 2) != std::string_view(*root).substr(0, 2))
        return;
    TStringList lines = DuplicateLines(*result, false);
    FScan->FollowChange({[lines = std::move(lines), drive = root->substr(0, 2)](TStoredSet& set) {
                             if (!set.Dirs.empty() && set.Dirs[0].substr(0, 2) == drive)
                                 set.Extras[std::string(kDuplicatesRole)] = lines;
                         },
                         [this] { ShowStoredDuplicates(); }, nullptr});
    tabFromStore_ = true;
}

void TFormMain::ShowStoredDuplicates() {
    TDuplicateTab* tab = FDiscover->Duplicates();
    if (tab->Running())
        return;
    const auto lines =
        ShowsOpenedScan() ? Store.GlobalExtras().end() : Store.GlobalExtras().find(kDuplicatesRole);
    TDuplicateResult result;
    bool asOf = false;
    std::string error;
    if (lines == Store.GlobalExtras().end() ||
        !ReadDuplicateLines(lines->second, result, asOf, error)) {
        if (tabFromStore_)
            tab->SetResult(nullptr);
        tabFromStore_ = false;
        return;
    }
    const QString when =
        asOf ? QDateTime::fromSecsSinceEpoch(result.Time).toString("yyyy-MM-dd HH:mm") : QString();
    // The same result shown already keeps its rows (and what is chosen).
    const auto& shown = tab->Result();
    if (shown && shown->Root == result.Root && shown->Time == result.Time &&
        shown->Groups.size() == result.Groups.size() &&
        shown->TotalWaste() == result.TotalWaste() && tab->AsOf() == when) {
        tabFromStore_ = true;
        return;
    }
    tab->SetResult(std::make_shared<const TDuplicateResult>(std::move(result)), when);
    tabFromStore_ = true;
}
