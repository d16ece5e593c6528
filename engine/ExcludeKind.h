#pragma once
// The extra file of the exclude rules a set was made with ("Exclude"),
// present only when the scan had rules: a set made without rules has no such
// file, so its files are those of a program without exclude rules. The
// first line is "caches" or "no caches" (whether folders tagged as caches
// were left out), then one pattern a line, its bytes as given except "%",
// carriage return and line feed, written %25, %0D and %0A. A folder rescan
// walks with these rules, so the lines never change with one.
#include <string>
#include <string_view>

#include "engine/ExcludeRules.h"
#include "engine/ExtraFileKind.h"
#include "engine/ExtraLists.h"
#include "engine/StringList.h"

constexpr std::string_view kExcludeRole = "Exclude";

// The kind as the store registers it.
TExtraFileKind ExcludeKind();

// The lines of a set made with Rules (empty without rules).
TStringList ExcludeLines(const TExcludeRules& rules);
// The rules of a set's lines; false with the reason when they cannot be
// read (then Rules is left as it was).
bool ExcludeFromLines(const TStringList& lines, TExcludeRules& rules, std::string& error);

// The rules a stored set's extra lists say it was made with: none when it
// holds none or they cannot be read.
TExcludeRules ExcludeRulesOf(const TExtraLists& extras);

// A pattern as one line of a text file, and back.
std::string EscapePatternLine(std::string_view pattern);
std::string UnescapePatternLine(std::string_view line);
