#pragma once
// Number texts of the result lists. Every conversion uses "." as decimal
// separator whatever the locale, so that lists read back as they were
// written on any machine.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// A whole decimal number with an optional sign, nothing else; false for an
// empty text, any other character or a value outside 64 bits.
bool TryTextToInt64(std::string_view text, std::int64_t& value);
// Plain decimal digits with a leading "-" when negative.
std::string Int64ToText(std::int64_t value);
// The general format with the given significant digits: the shortest text
// without trailing zeros, fixed notation from 0.0001 up to below
// 10^digits, otherwise "d.dddE-n" with a sign only when negative and no
// leading zeros in the exponent.
std::string FloatToGeneralText(long double value, int digits = 15);
// A child's share of its parent in percent, computed in extended precision
// and rounded to single precision, as stored in the lists. Parent != 0.
float SharePercent(std::int64_t child, std::int64_t parent);
// The stored text of a share: its single-precision value in the general
// 15-digit format ("50", "33.3333320617676", "9.99999997475243E-7").
std::string PercentText(float percent);

// Room for any text of the conversions below. The forms that write into it
// make a million texts without an allocation each; the text returned lies
// in chars.
using TNumberChars = std::array<char, 80>;
std::string_view Int64TextIn(std::int64_t value, TNumberChars& chars);
std::string_view PercentTextIn(float percent, TNumberChars& chars);
