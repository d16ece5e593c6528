#include "engine/NumberText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

// A number as its significant decimal digits (no trailing zeros but the
// first) and the power of ten of the first: 0.ddd x 10^(Exp10 + 1).
struct TDecimalDigits {
    char Mantissa[40];
    int Len = 0;
    int Exp10 = 0;
    bool Negative = false;
};

// The digits of an unsigned 128-bit integer below 10^38, most significant
// first; their count.
int IntegerDigits(unsigned __int128 n, char* out) {
    constexpr std::uint64_t kTen19 = 10000000000000000000ull;
    // One 128-bit division: the remainder from the quotient.
    const auto high = static_cast<std::uint64_t>(n / kTen19);
    auto low = static_cast<std::uint64_t>(n - static_cast<unsigned __int128>(high) * kTen19);
    char buf[40];
    int at = 40;
    if (high == 0) {
        do {
            buf[--at] = static_cast<char>('0' + low % 10);
            low /= 10;
        } while (low);
    } else {
        for (int i = 0; i < 19; ++i, low /= 10)
            buf[--at] = static_cast<char>('0' + low % 10);
        for (std::uint64_t h = high; h; h /= 10)
            buf[--at] = static_cast<char>('0' + h % 10);
    }
    std::memcpy(out, buf + at, static_cast<std::size_t>(40 - at));
    return 40 - at;
}

// 5^0 to 5^34, the factors FloatDigits needs.
constexpr auto kPowersOf5 = [] {
    std::array<unsigned __int128, 35> powers{};
    powers[0] = 1;
    for (std::size_t k = 1; k < powers.size(); ++k)
        powers[k] = powers[k - 1] * 5;
    return powers;
}();

// The digits of a float from 2^-11 up to below 2^24 (every share but the
// tiniest is one), rounded to Digits as printf rounds: half to even, on the
// exact value. Such a float is M x 2^-k with M below 2^24 and k at most 34,
// i.e. M x 5^k / 10^k: an integer of at most 31 digits over a power of ten,
// so the rounding is done on integers, at a fraction of printf's cost. This
// runs once per folder of a scan. False for any other value.
bool FloatDigits(long double value, int digits, TDecimalDigits& d) {
    const auto f = static_cast<float>(value);
    if (!std::isfinite(f) || static_cast<long double>(f) != value || digits < 1 || digits > 30)
        return false;
    int e = 0;
    const float m = std::frexp(std::fabs(f), &e);  // |f| = m x 2^e, m in [0.5, 1)
    if (e > 24 || e < -10)
        return false;
    auto mant = static_cast<std::uint32_t>(std::ldexp(m, 24));
    int k = 24 - e;
    while (k > 0 && (mant & 1) == 0) {
        mant >>= 1;
        --k;
    }
    const unsigned __int128 n = mant * kPowersOf5[k];
    char all[40];
    const int count = IntegerDigits(n, all);
    d.Negative = f < 0;
    d.Exp10 = count - 1 - k;
    int len = std::min(count, digits);
    std::memcpy(d.Mantissa, all, static_cast<std::size_t>(len));
    if (count > digits) {
        const char next = all[digits];
        bool up = next > '5';
        if (next == '5') {
            bool rest = false;
            for (int i = digits + 1; i < count && !rest; ++i)
                rest = all[i] != '0';
            up = rest || (d.Mantissa[digits - 1] - '0') % 2 == 1;
        }
        int i = len - 1;
        for (; up && i >= 0; --i) {
            if (d.Mantissa[i] != '9') {
                ++d.Mantissa[i];
                up = false;
            } else {
                d.Mantissa[i] = '0';
            }
        }
        if (up) {  // all nines: one more digit in front
            d.Mantissa[0] = '1';
            ++d.Exp10;
        }
    }
    while (len > 1 && d.Mantissa[len - 1] == '0')
        --len;
    d.Len = len;
    return true;
}

// Any value's digits from the standard conversions.
void ConvertedDigits(long double value, int digits, TDecimalDigits& d) {
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
    const char* p = buf;
    d.Negative = *p == '-';
    if (d.Negative)
        ++p;
    int len = 0;
    for (; *p && *p != 'e' && *p != 'E'; ++p)
        if (*p >= '0' && *p <= '9' && len < 39)
            d.Mantissa[len++] = *p;
    d.Exp10 = *p ? std::atoi(p + 1) : 0;
    while (len > 1 && d.Mantissa[len - 1] == '0')
        --len;
    d.Len = len;
}

std::string_view GeneralTextIn(long double value, int digits, TNumberChars& chars) {
    if (value == 0)
        return "0";
    // Built in a fixed buffer: this runs once per folder of a scan.
    TDecimalDigits d;
    if (!FloatDigits(value, digits, d))
        ConvertedDigits(value, digits, d);
    const char* const mantissa = d.Mantissa;
    const int len = d.Len;
    const int exp10 = d.Exp10;
    char* const out = chars.data();
    int n = 0;
    if (d.Negative)
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
