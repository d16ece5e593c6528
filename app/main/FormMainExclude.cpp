// Analize > Exclude: the thin entry point that opens the chosen drive's
// exclude rules and starts the drive's scan when the user asks for it.
#include <cctype>

#include "app/main/FormMain.h"
#include "app/scan/ExcludeDialog.h"
#include "app/scan/ScanControl.h"
#include "app/scan/ScanExclude.h"
#include "app/shell/ItemPropertiesDialog.h"
#include "engine/ExcludeKind.h"
#include "engine/StoredListText.h"
#include "views/common/ListLookup.h"
#include "views/tree/BarShellTreeView.h"
#include "views/tree/ItemExclusion.h"

namespace {

TDriveExcludeRules AsDriveRules(const TExcludeRules& rules) {
    return {rules.Patterns(), rules.Caches()};
}

}  // namespace

void TFormMain::ExcludeRulesClick() {
    if (ShowsOpenedScan())
        return;  // an opened scan was made elsewhere, with its own rules
    const std::string folder = CurrentFolder();
    if (folder.empty() || folder.find(':') == std::string::npos)
        return;
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(folder[0])));
    // The rules of the results shown, when they are this drive's.
    TDriveExcludeRules stored;
    if (ListsDriveLetter(Store.GlobalDirs()) == letter)
        stored = AsDriveRules(StoredExcludeRules(Store.GlobalExtras()));
    std::string problem;
    const TDriveExcludeRules kept = ExcludeSettings::ForDrive(letter, &problem);
    if (!problem.empty())
        ShowActionNote(QString::fromStdString(problem));
    TExcludeDialog dialog(this, letter, kept, stored);
    if (FHooks.ExcludeDialogShown)
        FHooks.ExcludeDialogShown(dialog);
    if (dialog.exec() == QDialog::Accepted && dialog.AnalizeNow())
        FScan->AnalizeInit(std::string(1, letter) + ":\\");
    ShowExcludeNote();
}

void TFormMain::ConnectExclusionMarks() {
    SetExclusionLookup(StoredExclusionLookup(Store));
    Tree->SetExclusionLookup([this](const std::string& path) {
        // Results made without rules mark nothing (the one look-up most
        // nodes cost), and a folder the results hold was measured.
        if (Store.GlobalExtras().count(kExcludeRole) == 0 || Store.GlobalSLSEmpty() ||
            FindStrINSL(Store.GlobalDirs(), path) >= 0)
            return std::string();
        return FolderExclusion(Store.GlobalExtras(), path);
    });
}

void TFormMain::ShowExcludeNote() {
    if (ShowsOpenedScan() || Store.GlobalDirs().empty())
        return;
    const char letter = ListsDriveLetter(Store.GlobalDirs());
    if (letter == 0)
        return;
    const TDriveExcludeRules stored = AsDriveRules(StoredExcludeRules(Store.GlobalExtras()));
    if (stored != ExcludeSettings::ForDrive(letter))
        ShowActionNote(QString("The numbers were made with other exclude rules than drive %1:'s; "
                               "analize the drive again to apply them.")
                           .arg(letter));
}
