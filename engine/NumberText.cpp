#include "engine/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>

bool TryTextToInt64(std::string_view text, std::int64_t& value) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size())
        return false;
    // Accumulate as a negative number so that the most negative value fits.
    std::int64_t acc = 0;
    constexpr std::int64_t kMin = INT64_MIN;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return false;
        const int digit = c - '0';
        if (acc < (kMin + digit) / 10)
            return false;
        acc = acc * 10 - digit;
    }
    if (!negative && acc == kMin)
        return false;
    value = negative ? acc : -acc;
    return true;
}

std::string_view Int64TextIn(std::int64_t value, TNumberChars& chars) {
    char* const buf = chars.data();
    char* p = buf + chars.size();
    const bool negative = value < 0;
    std::uint64_t v = negative ? 0 - static_cast<std::uint64_t>(value) : value;
    do {
        *--p = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v);
    if (negative)
        *--p = '-';
    return std::string_view(p, static_cast<std::size_t>(buf + chars.size() - p));
}

std::string Int64ToText(std::int64_t value) {
    TNumberChars chars;
    return std::string(Int64TextIn(value, chars));
}

namespace {

std::string_view GeneralTextIn(long double value, int digits, TNumberChars& chars) {
    if (value == 0)
        return "0";
    char buf[64];
    // A value that a double holds exactly (every float does) takes the fast,
    // locale-free conversion; the digits are the same either way.
    const double asDouble = static_cast<double>(value);
    if (static_cast<long double>(asDouble) == value) {
        const auto r = std::to_chars(buf, buf + sizeof buf - 1, asDouble,
                                     std::chars_format::scientific, digits - 1);
        *r.ptr = 0;
    } else {
        std::snprintf(buf, sizeof buf, "%.*Le", digits - 1, value);
    }
    // buf: [-]d.ddd...e[+-]xx; the decimal point is the locale's, so only
    // the digits are taken. Built in a fixed buffer: this runs once per
    // folder of a scan.
    const char* p = buf;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    char mantissa[40];
    int len = 0;
    for (; *p && *p != 'e' && *p != 'E'; ++p)
        if (*p >= '0' && *p <= '9' && len < 39)
            mantissa[len++] = *p;
    const int exp10 = *p ? std::atoi(p + 1) : 0;
    while (len > 1 && mantissa[len - 1] == '0')
        --len;
    char* const out = chars.data();
    int n = 0;
    if (negative)
        out[n++] = '-';
    // Exponent of the form 0.ddd x 10^point.
    const int point = exp10 + 1;
    if (point > digits || point < -3) {
        out[n++] = mantissa[0];
        if (len > 1) {
            out[n++] = '.';
            for (int i = 1; i < len; ++i)
                out[n++] = mantissa[i];
        }
        out[n++] = 'E';
        n += std::snprintf(out + n, chars.size() - static_cast<std::size_t>(n), "%d", exp10);
    } else if (point <= 0) {
        out[n++] = '0';
        out[n++] = '.';
        for (int i = 0; i < -point; ++i)
            out[n++] = '0';
        for (int i = 0; i < len; ++i)
            out[n++] = mantissa[i];
    } else {
        for (int i = 0; i < std::max(len, point); ++i) {
            if (i == point)
                out[n++] = '.';
            out[n++] = i < len ? mantissa[i] : '0';
        }
    }
    return std::string_view(out, static_cast<std::size_t>(n));
}

}  // namespace

std::string FloatToGeneralText(long double value, int digits) {
    TNumberChars chars;
    return std::string(GeneralTextIn(value, digits, chars));
}

float SharePercent(std::int64_t child, std::int64_t parent) {
    const long double share =
        static_cast<long double>(child) / static_cast<long double>(parent) * 100.0L;
    return static_cast<float>(share);
}

std::string PercentText(float percent) {
    TNumberChars chars;
    return std::string(PercentTextIn(percent, chars));
}

std::string_view PercentTextIn(float percent, TNumberChars& chars) {
    return GeneralTextIn(static_cast<long double>(percent), 15, chars);
}
