#pragma once
// Exclude rules as a walking thread applies them to the listing of one
// folder at a time: whether an item is left out (a pattern, or a folder
// tagged as a cache) and the state its subfolders carry. One per thread;
// without rules nothing is ever left out and no state is made.
#include <string>
#include <string_view>

#include "engine/ExcludeMatcher.h"
#include "engine/ExcludeRules.h"

class TExcludeWalk {
  public:
    explicit TExcludeWalk(const TExcludeRules& rules) : rules_(rules), matcher_(rules) {}

    // The folder whose listing comes next, by its state.
    void Enter(const TExcludeState& folder) { matcher_.Enter(folder); }
    // Why the item is left out: the pattern's number, kCache for a folder
    // tagged as a cache, or -1 when it is not. FolderFd is the listed
    // folder's (for the tag).
    static constexpr int kCache = -2;
    int Reason(int folderFd, std::string_view name, bool folder) {
        const int pattern = matcher_.Match(name);
        if (pattern >= 0 || !folder || !rules_.Caches())
            return pattern;
        return CacheReason(folderFd, name);
    }
    bool Skips(int folderFd, std::string_view name, bool folder) {
        return Reason(folderFd, name, folder) != -1;
    }
    // The state of a subfolder of the entered folder.
    TExcludeState ChildState(std::string_view name) { return matcher_.ChildState(name); }

    // "pattern" or "cache": why an item was left out, as words a user reads.
    static std::string Text(const TExcludeRules& rules, int reason);

  private:
    // kCache when the folder is tagged as a cache, or -1.
    static int CacheReason(int folderFd, std::string_view name);

    const TExcludeRules& rules_;
    TExcludeMatcher matcher_;
};
