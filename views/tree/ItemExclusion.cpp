#include "views/tree/ItemExclusion.h"

#include "engine/ExcludeKind.h"
#include "engine/ExcludedReason.h"
#include "platform/DriveForm.h"

TItemExclusion::TItemExclusion(const TExtraLists& storedExtras, const std::string& folder)
    : rules_(storedExtras, folder) {}

std::string TItemExclusion::Why(const TShellFolder& item, bool folder) const {
    if (item.ImportedExclusion() != 0)
        return ExcludedReasonText(static_cast<TExcludedReason>(item.ImportedExclusion()));
    if (!rules_.Any())
        return std::string();
    const std::string native = item.NativePath();
    return native.empty() ? std::string() : rules_.Why(native, folder);
}

std::string FolderExclusion(const TExtraLists& storedExtras, const std::string& driveForm) {
    if (storedExtras.find(kExcludeRole) == storedExtras.end())
        return std::string();  // made without rules: the common case costs a lookup
    const std::optional<std::string> native = DriveFormToNative(driveForm);
    if (!native)
        return std::string();
    const std::size_t slash = native->rfind('/');
    if (slash == std::string::npos || slash + 1 == native->size())
        return std::string();  // a root is never left out
    const TExcludeListing rules(storedExtras, slash == 0 ? "/" : native->substr(0, slash));
    return rules.Any() ? rules.Why(*native, true) : std::string();
}
