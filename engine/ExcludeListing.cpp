#include "engine/ExcludeListing.h"

#include "engine/ExcludeKind.h"
#include "engine/ExcludeWalk.h"
#include "platform/CacheDirTag.h"

TExcludeListing::TExcludeListing(const TExtraLists& storedExtras, const std::string& folder)
    : rules_(ExcludeRulesOf(storedExtras)) {
    if (rules_.Empty() || folder.empty())
        return;
    matcher_ = std::make_unique<TExcludeMatcher>(rules_);
    matcher_->Enter(rules_.FolderState(folder));
}

std::string TExcludeListing::Why(const std::string& native, bool folder) const {
    if (!matcher_)
        return std::string();
    const std::size_t slash = native.rfind('/');
    const std::string name = slash == std::string::npos ? native : native.substr(slash + 1);
    const int pattern = matcher_->Match(name);
    if (pattern >= 0)
        return TExcludeWalk::Text(rules_, pattern);
    if (folder && rules_.Caches() && HasCacheDirTag(-1, native, TExcludeRules::kCacheSignature))
        return TExcludeWalk::Text(rules_, TExcludeWalk::kCache);
    return std::string();
}
