#include "engine/ExcludeSettings.h"

#include <cctype>

#include "engine/ExcludeKind.h"
#include "engine/ExcludeRules.h"
#include "engine/UserSettings.h"

namespace ExcludeSettings {

std::string Text(const std::map<char, TDriveExcludeRules>& drives) {
    std::string text;
    for (const auto& d : drives) {
        const TDriveExcludeRules& rules = d.second;
        if (rules.Empty())
            continue;
        text += std::string(1, d.first) + " caches " + (rules.Caches ? "yes" : "no") + "\n";
        for (const std::string& p : rules.Patterns)
            text += std::string(1, d.first) + " pattern " + EscapePatternLine(p) + "\n";
    }
    return text;
}

bool Parse(const std::string& text, std::map<char, TDriveExcludeRules>& drives,
           std::string& problem) {
    std::map<char, TDriveExcludeRules> read;
    std::size_t start = 0;
    for (int number = 1; start < text.size(); ++number) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(line[0])));
        const bool drive = letter >= 'A' && letter <= 'Z' && line.size() > 2 && line[1] == ' ';
        const std::string rest = drive ? line.substr(2) : std::string();
        if (rest == "caches yes" || rest == "caches no") {
            read[letter].Caches = rest == "caches yes";
        } else if (rest.rfind("pattern ", 0) == 0) {
            const std::string pattern = UnescapePatternLine(rest.substr(8));
            std::string error;
            if (!TExcludeRules::Check(pattern, error)) {
                problem = "line " + std::to_string(number) + ": " + error;
                return false;
            }
            read[letter].Patterns.push_back(pattern);
        } else {
            problem = "line " + std::to_string(number) + " is no exclude rule";
            return false;
        }
    }
    drives = std::move(read);
    return true;
}

bool Load(std::map<char, TDriveExcludeRules>& drives, std::string& problem) {
    std::string bytes;
    if (!UserSettings::Read(kFileName, bytes, problem))
        return false;
    if (!Parse(bytes, drives, problem)) {
        problem = std::string("the exclude rules cannot be read: ") + problem;
        return false;
    }
    return true;
}

TDriveExcludeRules ForDrive(char letter, std::string* problem) {
    std::map<char, TDriveExcludeRules> drives;
    std::string why;
    if (!Load(drives, why)) {
        if (problem != nullptr)
            *problem = why;
        return {};
    }
    const auto found =
        drives.find(static_cast<char>(std::toupper(static_cast<unsigned char>(letter))));
    return found == drives.end() ? TDriveExcludeRules() : found->second;
}

bool SaveDrive(char letter, const TDriveExcludeRules& rules, std::string& problem) {
    for (const std::string& p : rules.Patterns)
        if (!TExcludeRules::Check(p, problem))
            return false;
    std::map<char, TDriveExcludeRules> drives;
    if (!Load(drives, problem))
        return false;
    drives[static_cast<char>(std::toupper(static_cast<unsigned char>(letter)))] = rules;
    return UserSettings::Write(kFileName, Text(drives), problem);
}

}  // namespace ExcludeSettings
