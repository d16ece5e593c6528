#include "engine/ExcludeKind.h"

#include <cstdio>
#include <vector>

#include "platform/DriveForm.h"

namespace {

constexpr std::string_view kCaches = "caches";
constexpr std::string_view kNoCaches = "no caches";

std::string ExcludeFault(const TStringList&, const TStringList& lines) {
    TExcludeRules rules;
    std::string error;
    return ExcludeFromLines(lines, rules, error) ? std::string() : error;
}

// The patterns are short and few: a file past this is no file of rules.
std::uint64_t MaxExcludeBytes(std::size_t) {
    return 4 * 1024 * 1024;
}

// A rescan is walked with the set's own rules: the lines stay.
bool MergeExclude(const TStringList&, TStringList&, const TStringList&, const TStringList&) {
    return true;
}

}  // namespace

TExtraFileKind ExcludeKind() {
    return {std::string(kExcludeRole), ExcludeFault, MaxExcludeBytes, MergeExclude, nullptr};
}

std::string EscapePatternLine(std::string_view pattern) {
    std::string line;
    for (const char c : pattern) {
        if (c == '%' || c == '\r' || c == '\n') {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", static_cast<unsigned char>(c));
            line += hex;
        } else {
            line += c;
        }
    }
    return line;
}

std::string UnescapePatternLine(std::string_view line) {
    std::string pattern;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '%' && i + 2 < line.size() && HexDigitValue(line[i + 1]) >= 0 &&
            HexDigitValue(line[i + 2]) >= 0) {
            pattern +=
                static_cast<char>(HexDigitValue(line[i + 1]) * 16 + HexDigitValue(line[i + 2]));
            i += 2;
        } else {
            pattern += line[i];
        }
    }
    return pattern;
}

TStringList ExcludeLines(const TExcludeRules& rules) {
    TStringList lines;
    if (rules.Empty())
        return lines;
    lines.push_back(rules.Caches() ? kCaches : kNoCaches);
    for (const std::string& p : rules.Patterns())
        lines.push_back(EscapePatternLine(p));
    return lines;
}

bool ExcludeFromLines(const TStringList& lines, TExcludeRules& rules, std::string& error) {
    if (lines.empty() || (lines[0] != kCaches && lines[0] != kNoCaches)) {
        error = "the first line says neither \"caches\" nor \"no caches\"";
        return false;
    }
    std::vector<std::string> patterns;
    for (std::size_t i = 1; i < lines.size(); ++i)
        patterns.push_back(UnescapePatternLine(lines[i]));
    if (!rules.Set(patterns, lines[0] == kCaches, error)) {
        error = "a pattern cannot be used: " + error;
        return false;
    }
    return true;
}

TExcludeRules ExcludeRulesOf(const TExtraLists& extras) {
    TExcludeRules rules;
    const auto lines = extras.find(std::string(kExcludeRole));
    std::string error;
    if (lines != extras.end())
        ExcludeFromLines(lines->second, rules, error);
    return rules;
}
