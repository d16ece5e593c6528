#include "views/common/NumberText.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "views/common/ConvertError.h"

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Skips a run of digits from pos; returns how many there were.
std::size_t SkipDigits(std::string_view text, std::size_t& pos) {
    std::size_t start = pos;
    while (pos < text.size() && IsDigit(text[pos])) {
        ++pos;
    }
    return pos - start;
}

std::size_t SkipSign(std::string_view text, std::size_t pos) {
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        ++pos;
    }
    return pos;
}

// The float grammar the program writes and accepts: [sign] digits [. digits]
// [e [sign] digits], with at least one digit in the mantissa. Checked here so
// that from_chars never sees "inf", "nan" or hexadecimal forms.
bool IsFloatText(std::string_view text) {
    std::size_t pos = SkipSign(text, 0);
    std::size_t digits = SkipDigits(text, pos);
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        digits += SkipDigits(text, pos);
    }
    if (digits == 0) {
        return false;
    }
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        pos = SkipSign(text, pos + 1);
        if (SkipDigits(text, pos) == 0) {
            return false;
        }
    }
    return pos == text.size();
}

std::string Quoted(std::string_view text) {
    return "'" + std::string(text) + "'";
}

// Drops a leading "+", which from_chars does not take.
std::string_view WithoutPlus(std::string_view text) {
    if (!text.empty() && text[0] == '+' && text.size() > 1 && text[1] != '-') {
        return text.substr(1);
    }
    return text;
}

std::string ToFixed(double value, int decimals) {
    char buf[400];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    return std::string(buf, res.ptr);
}

}  // namespace

std::int64_t StrToInt64(std::string_view text) {
    std::string_view digits = WithoutPlus(text);
    std::int64_t value = 0;
    auto res = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || res.ec != std::errc() || res.ptr != digits.data() + digits.size()) {
        throw EConvertError(Quoted(text) + " is not a valid integer value");
    }
    return value;
}

double StrToFloat(std::string_view text) {
    double value = 0;
    if (IsFloatText(text)) {
        std::string_view number = WithoutPlus(text);
        auto res = std::from_chars(number.data(), number.data() + number.size(), value);
        if (res.ec == std::errc() && res.ptr == number.data() + number.size()) {
            return value;
        }
    }
    throw EConvertError(Quoted(text) + " is not a valid floating point value");
}

float CalcPercent(std::int64_t part, std::int64_t whole) {
    if (whole <= 0) {
        return 0.0f;
    }
    long double share = static_cast<long double>(part) / static_cast<long double>(whole) * 100.0L;
    return static_cast<float>(share);
}

std::string FormatOneDecimal(double value) {
    if (std::isnan(value)) {
        return "NAN";
    }
    if (std::isinf(value)) {
        return value > 0 ? "INF" : "-INF";
    }
    // The only binary values that lie exactly halfway between two one-decimal
    // texts are the odd quarters (x.25, x.75). to_chars would round those to
    // even; the program's texts round them away from zero. Their two-decimal
    // text is exact, and the first decimal (2 or 7) goes up without a carry.
    double quarters = std::fabs(value) * 4.0;
    if (quarters == std::trunc(quarters) && std::fmod(quarters, 2.0) == 1.0) {
        std::string text = ToFixed(std::fabs(value), 2);
        text.pop_back();
        text.back() = text.back() == '2' ? '3' : '8';
        return value < 0 ? "-" + text : text;
    }
    std::string text = ToFixed(value, 1);
    // A negative value that rounds to zero is shown as "0.0", not "-0.0".
    if (text == "-0.0") {
        text = "0.0";
    }
    return text;
}

std::string FormatPercent(float percent) {
    return FormatOneDecimal(percent);
}

std::string FormatMB(std::string_view sizeText) {
    return FormatOneDecimal(static_cast<double>(StrToInt64(sizeText)) / 1048576.0);
}

std::string FormatGB(std::string_view sizeText) {
    return FormatOneDecimal(static_cast<double>(StrToInt64(sizeText)) / 1073741824.0) + " GB";
}
