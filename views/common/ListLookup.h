#pragma once
// Lookups in the program's parallel lists, shared by the bar view and the pie.
#include <cstdint>
#include <string_view>

#include "engine/StringList.h"

// Position of text in a list sorted byte by byte (the order of GlobalDirs()),
// found by bisection; the first of several equal entries; -1 when absent.
int FindStrINSL(const TStringList& list, std::string_view text);

// Entry index as a number. The lists are parallel but may come out of
// different lengths (a partly written or hand-edited set of result files), so
// an index outside the list reads as 0 instead of past its end. A malformed
// entry throws EConvertError.
double GetFloat(const TStringList& list, int index);
// A stored share of its parent, as the views compute with it: GetFloat
// limited to +-kStoredPercentLimit. A share is at most 100 in results the
// program wrote; a hand-edited 1e38 must neither overflow the conversion to
// single precision nor a running sum of whole percents.
constexpr double kStoredPercentLimit = 1.0e6;
float GetPercent(const TStringList& list, int index);
std::int64_t IntValFromSL(const TStringList& list, int index);
