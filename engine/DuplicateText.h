#pragma once
// A duplicate search's result as stored lines (the extra file "Duplicates"
// of a drive's results), and back. Names are native paths, their bytes as
// they are but for %, CR, LF and TAB, written as %25, %0D, %0A and %09.
//   Duplicates 1
//   ROOT TAB MINSIZE TAB TIME TAB ASOF TAB FILES TAB CANDIDATES
//   G TAB SIZE TAB COPIES              (a group, then its copies)
//   C TAB DEVICE TAB INODE TAB WRITENANOS TAB SHAREDSET TAB NAMES
//   N TAB NAME                         (each name of the copy)
// ASOF is 1 once the drive changed inside ROOT after the search (a folder
// rescan or an item command there): the result is then "as of" TIME.
#include <string>

#include "engine/DuplicateGroup.h"
#include "engine/StringList.h"

TStringList DuplicateLines(const TDuplicateResult& result, bool asOf);
// False with the reason (naming the line) when the lines are not such a result.
bool ReadDuplicateLines(const TStringList& lines, TDuplicateResult& result, bool& asOf,
                        std::string& error);
// The same lines with ASOF set.
TStringList DuplicateLinesAsOf(const TStringList& lines);
