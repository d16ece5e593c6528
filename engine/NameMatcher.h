#pragma once
// One find's pattern, made ready to match names (FindQuery.h):
// - Wildcard: fnmatch on the raw bytes, "ignore case" as find -iname;
// - Contains: the pattern's bytes found anywhere in the name's; with
//   "ignore case" both are folded first (NameFold.h: ASCII and valid UTF-8,
//   other bytes compare as they are);
// - Regex: PCRE2 (through QRegularExpression) searched in the name decoded
//   as UTF-8, each broken part of a name that is not valid UTF-8 read as
//   U+FFFD; "\w", "\d" and the like take Unicode's classes.
// Matching is const and may run on several threads at once.
#include <QRegularExpression>
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
    TFindMode mode_;
    bool ignoreCase_;
    std::string pattern_;  // Contains: folded when ignoring case
    QRegularExpression regex_;
    std::string error_;
};
