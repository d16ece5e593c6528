#include "app/scan/ScanExclude.h"

#include "engine/ExcludeKind.h"
#include "engine/ExcludeSettings.h"

TExcludeRules StoredExcludeRules(const TExtraLists& storedExtras) {
    return ExcludeRulesOf(storedExtras);
}

TExcludeRules ScanExcludeRules(const TExtraLists& storedExtras, const std::string& path,
                               bool folderRescan) {
    if (folderRescan)
        return StoredExcludeRules(storedExtras);
    TExcludeRules rules;
    if (path.empty())
        return rules;
    const TDriveExcludeRules kept = ExcludeSettings::ForDrive(path[0]);
    std::string error;
    rules.Set(kept.Patterns, kept.Caches, error);  // the file's patterns were checked
    return rules;
}
