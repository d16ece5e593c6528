#include "engine/ExcludeWalk.h"

#include "platform/CacheDirTag.h"

int TExcludeWalk::CacheReason(int folderFd, std::string_view name) {
    return HasCacheDirTag(folderFd, name, TExcludeRules::kCacheSignature) ? kCache : -1;
}

std::string TExcludeWalk::Text(const TExcludeRules& rules, int reason) {
    if (reason == kCache)
        return "a cache folder (CACHEDIR.TAG)";
    if (reason >= 0 && static_cast<std::size_t>(reason) < rules.Patterns().size())
        return "the pattern " + rules.Patterns()[static_cast<std::size_t>(reason)];
    return std::string();
}
