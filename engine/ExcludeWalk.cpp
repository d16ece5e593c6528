#include "engine/ExcludeWalk.h"

#include "platform/CacheDirTag.h"

int TExcludeWalk::Reason(int folderFd, std::string_view name, bool folder) {
    const int pattern = matcher_.Match(name);
    if (pattern >= 0)
        return pattern;
    if (folder && rules_.Caches() && HasCacheDirTag(folderFd, name, TExcludeRules::kCacheSignature))
        return kCache;
    return -1;
}

std::string TExcludeWalk::Text(const TExcludeRules& rules, int reason) {
    if (reason == kCache)
        return "a cache folder (CACHEDIR.TAG)";
    if (reason >= 0 && static_cast<std::size_t>(reason) < rules.Patterns().size())
        return "the pattern " + rules.Patterns()[static_cast<std::size_t>(reason)];
    return std::string();
}
