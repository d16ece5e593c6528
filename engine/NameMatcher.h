#pragma once
// One find's pattern, made ready to match names (FindQuery.h):
// - Wildcard: fnmatch on the raw bytes, "ignore case" as find -iname;
// - Contains: the pattern's bytes found anywhere in the name's; with
//   "ignore case" both are folded first (NameFold.h: ASCII and valid UTF-8,
//   other bytes compare as they are);
// - Regex: PCRE2 (UTF and Unicode properties, compiled to machine code
//   where PCRE2 can) searched in the name read as UTF-8, each broken part of
//   a name that is not valid UTF-8 read as U+FFFD; "\w", "\d" and the like
//   take Unicode's classes. Names are matched as they are, without a copy,
//   when they are valid UTF-8.
// Matching is const and may run on several threads at once.
#include <memory>
#include <string>
#include <string_view>

#include "engine/FindQuery.h"

class TNameMatcher {
  public:
    explicit TNameMatcher(const TFindQuery& query);

    // Empty when the pattern can be used; else why not (a regular
    // expression that does not compile, an empty pattern).
    const std::string& Error() const { return error_; }
    bool Matches(std::string_view rawName) const;

  private:
    // A wildcard of plain ASCII and "*" only, matched with case: every
    // locale reads it byte for byte, so it needs no fnmatch.
    static bool PlainGlob(const std::string& pattern);
    static bool GlobMatches(std::string_view pattern, std::string_view name);

    TFindMode mode_;
    bool plainGlob_ = false;
    bool ignoreCase_;
    std::string pattern_;  // Contains: folded when ignoring case
    struct TCodeFree {
        void operator()(void* code) const;
    };
    std::unique_ptr<void, TCodeFree> regex_;  // a pcre2_code
    std::string error_;
};
