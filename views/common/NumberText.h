#pragma once
// Number texts of the views. Every conversion uses "." as decimal separator
// and no thousands separators, whatever the user's locale says, so that the
// lists and the result files read the same on every machine.
#include <cstdint>
#include <string>
#include <string_view>

// Whole text as a signed 64-bit integer: an optional sign and decimal digits,
// nothing else. Throws EConvertError ("'12a' is not a valid integer value").
std::int64_t StrToInt64(std::string_view text);

// Whole text as a floating-point number: optional sign, digits with an
// optional "." fraction and an optional exponent (1.5E-5). Throws
// EConvertError ("'1,5' is not a valid floating point value").
double StrToFloat(std::string_view text);

// part / whole * 100 in extended precision, rounded to single precision;
// 0 when whole is 0 or negative.
float CalcPercent(std::int64_t part, std::int64_t whole);

// value with the format "0.0": one decimal, a half going away from zero.
std::string FormatOneDecimal(double value);

// A percent as "0.0": 12.46 gives "12.5", 0.04 gives "0.0".
std::string FormatPercent(float percent);

// A size text in megabytes as "0.0", no unit: "1572864" gives "1.5".
std::string FormatMB(std::string_view sizeText);

// A size text in gigabytes as "0.0" plus " GB": "3221225472" gives "3.0 GB".
std::string FormatGB(std::string_view sizeText);
