#include "engine/NumberText.h"

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

std::string Int64ToText(std::int64_t value) {
    char buf[24];
    char* p = buf + sizeof buf;
    const bool negative = value < 0;
    std::uint64_t v = negative ? 0 - static_cast<std::uint64_t>(value) : value;
    do {
        *--p = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v);
    if (negative)
        *--p = '-';
    return std::string(p, buf + sizeof buf - p);
}

std::string FloatToGeneralText(long double value, int digits) {
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
    // the digits are taken.
    std::string text(buf);
    std::string sign;
    if (text[0] == '-') {
        sign = "-";
        text.erase(0, 1);
    }
    const size_t e = text.find('e');
    const int exp10 = std::atoi(text.c_str() + e + 1);
    std::string mantissa;
    for (size_t i = 0; i < e; ++i)
        if (text[i] >= '0' && text[i] <= '9')
            mantissa += text[i];
    while (mantissa.size() > 1 && mantissa.back() == '0')
        mantissa.pop_back();
    // Exponent of the form 0.ddd x 10^point.
    const int point = exp10 + 1;
    if (point > digits || point < -3) {
        std::string out = sign + mantissa.substr(0, 1);
        if (mantissa.size() > 1)
            out += "." + mantissa.substr(1);
        return out + "E" + std::to_string(exp10);
    }
    if (point <= 0)
        return sign + "0." + std::string(-point, '0') + mantissa;
    if (static_cast<int>(mantissa.size()) <= point)
        return sign + mantissa + std::string(point - mantissa.size(), '0');
    return sign + mantissa.substr(0, point) + "." + mantissa.substr(point);
}

float SharePercent(std::int64_t child, std::int64_t parent) {
    const long double share =
        static_cast<long double>(child) / static_cast<long double>(parent) * 100.0L;
    return static_cast<float>(share);
}

std::string PercentText(float percent) {
    return FloatToGeneralText(static_cast<long double>(percent), 15);
}
