#include "engine/SizeArgument.h"

#include <limits>

bool ParseSizeArgument(std::string_view text, std::int64_t& bytes, std::string& problem) {
    const std::string quoted = "\"" + std::string(text) + "\"";
    std::int64_t unit = 1;
    std::string_view digits = text;
    if (!digits.empty()) {
        switch (digits.back()) {
            case 'k':
            case 'K':
                unit = std::int64_t{1} << 10;
                break;
            case 'm':
            case 'M':
                unit = std::int64_t{1} << 20;
                break;
            case 'g':
            case 'G':
                unit = std::int64_t{1} << 30;
                break;
            default:
                break;
        }
        if (unit != 1) {
            digits.remove_suffix(1);
        }
    }
    if (digits.empty()) {
        problem = "the size " + quoted + " has no number (bytes, or a number with K, M or G)";
        return false;
    }
    constexpr std::int64_t most = std::numeric_limits<std::int64_t>::max();
    std::int64_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') {
            problem = "the size " + quoted + " is not a whole number of bytes, K, M or G";
            return false;
        }
        const int digit = c - '0';
        if (value > (most - digit) / 10) {
            problem = "the size " + quoted + " is too large";
            return false;
        }
        value = value * 10 + digit;
    }
    if (value > most / unit) {
        problem = "the size " + quoted + " is too large";
        return false;
    }
    bytes = value * unit;
    problem.clear();
    return true;
}
