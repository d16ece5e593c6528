#include "app/find/FindCommand.h"

#include <ctime>

#include "app/discover/DiscoverPanel.h"
#include "app/find/FindDialog.h"
#include "app/wait/WorkBehindProgress.h"
#include "engine/AnalizeDisk.h"
#include "engine/DiskSizeList.h"
#include "engine/FolderFind.h"
#include "engine/NameMatcher.h"
#include "engine/ResultStore.h"
#include "engine/StoredListText.h"
#include "engine/WalkFind.h"
#include "platform/VirtualDrive.h"
#include "views/common/DisplayText.h"

namespace {

// "*.o below C:\src" for the panel's note.
QString What(const TFindQuery& q) {
    static const char* const kModes[] = {"", "names containing ", "names matching "};
    QString text = QString(kModes[static_cast<int>(q.Mode)]) + DisplayText(q.Pattern) +
                   (q.IgnoreCase ? " (any case)" : "") + " below " + DisplayText(q.Below);
    if (q.MinSize > 0)
        text += ", from " + QString::number(q.MinSize) + " bytes";
    if (q.OlderThanDays && q.WantsFiles())
        text += ", files not changed for over " + QString::number(*q.OlderThanDays) + " days";
    return text;
}

}  // namespace

TFindCommand::TFindCommand(QWidget* owner, const TResultStore& store, TDiscoverPanel& panel)
    : owner_(owner), store_(store), panel_(panel) {
    last_.Pattern = "*";
}

void TFindCommand::Run(const std::string& folder) {
    std::string stored = folder;
    if (!stored.empty() && stored.back() == '\\')
        stored.pop_back();
    TFindDialog dialog(owner_, last_, stored);
    if (dialog.exec() != QDialog::Accepted)
        return;
    last_ = dialog.Query();
    Find(last_);
}

bool TFindCommand::Find(TFindQuery query) {
    query.Now = static_cast<std::int64_t>(std::time(nullptr));
    const TNameMatcher matcher(query);
    if (!matcher.Error().empty())
        return false;
    QString what = What(query);
    TFoundItems found;
    if (query.WantsFolders()) {
        const TStringList& dirs = store_.GlobalDirs();
        if (ListsDriveLetter(dirs) == DriveLetterOf(query.Below)) {
            const auto allocated = store_.GlobalExtras().find(kDiskSizesRole);
            found = FindStoredFolders(
                query, matcher, dirs, store_.GlobalDirSizes(),
                allocated == store_.GlobalExtras().end() ? nullptr : &allocated->second);
        } else {
            what += "; no folders: the drive has no stored results";
        }
    }
    if (query.WantsFiles() && VirtualDriveFor(query.Below) != nullptr) {
        what += "; no files: an opened scan holds folders only";
    } else if (query.WantsFiles()) {
        TFindQuery files = query;
        files.Kinds = TFindKinds::Files;
        TAnalizeDisk analyzer;
        TFoundItems walked;
        TProgressBox box;
        box.Title = "Find";
        box.Label = "Finding files\u2026";
        box.ObjectName = "FindProgress";
        box.Status = [&analyzer] {
            return QString("Finding files: %1 folders, %2 files looked at")
                .arg(analyzer.FoldersWalked())
                .arg(analyzer.FilesWalked());
        };
        RunBehindProgress(owner_, box, analyzer.Cancel,
                          [&] { walked = FindByWalk(files, matcher, analyzer); });
        if (analyzer.Cancel.load())
            return false;
        found.insert(found.end(), std::make_move_iterator(walked.begin()),
                     std::make_move_iterator(walked.end()));
    }
    panel_.show();
    panel_.raise();
    panel_.ShowFound(std::move(found), what);
    return true;
}
