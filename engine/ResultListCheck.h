#pragma once
// Whether three loaded result lists can be trusted: the views find folders by
// bisection and read entry i of every list for the same folder, so lists of
// unequal length, folders out of byte order or numbers that do not read would
// show wrong numbers beside the wrong names.
#include <string>
#include <string_view>

#include "engine/StringList.h"

struct TResultListNames {
    std::string Percents;
    std::string Dirs;
    std::string DirSizes;
};

// Empty when the lists can be trusted; otherwise the first fault found,
// naming the file and, where it is one line, the line (counted from 1).
std::string CheckResultLists(const TStringList& percents, const TStringList& dirs,
                             const TStringList& dirSizes, const TResultListNames& names);

// A share as the lists store it: an optional sign, digits with an optional
// "." fraction, an optional exponent, and a finite value.
bool IsPercentText(std::string_view text);
