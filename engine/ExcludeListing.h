#pragma once
// Which items of a listed folder the exclude rules of the stored results
// leave out, and why: the bar list, the folder tree and Properties show
// such an item marked "excluded", with no size and no bar, since the
// results hold nothing of it.
#include <memory>
#include <string>

#include "engine/ExcludeMatcher.h"
#include "engine/ExcludeRules.h"
#include "engine/ExtraLists.h"

class TExcludeListing {
  public:
    // The rules of the stored set's extra lists, for the items of the
    // folder at the native path Folder.
    TExcludeListing(const TExtraLists& storedExtras, const std::string& folder);

    bool Any() const { return !rules_.Empty(); }
    // Why the item at the native path is left out ("" when it is not).
    std::string Why(const std::string& native, bool folder) const;

  private:
    TExcludeRules rules_;
    std::unique_ptr<TExcludeMatcher> matcher_;
};
