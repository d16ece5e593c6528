#pragma once
// The exclude rules the user keeps for each drive, in the settings file
// "exclude-rules" (UserSettings.h). One line a rule, in the drive's order:
//     C caches yes          (or "no": whether folders tagged as caches go)
//     C pattern *.o         (the pattern, "%", CR and LF written %25 %0D %0A)
// A drive with no lines has no rules. The file is read whole and replaced
// whole; one that cannot be read is reported and never overwritten by a
// read, only by a save the user asks for.
#include <map>
#include <string>
#include <vector>

struct TDriveExcludeRules {
    std::vector<std::string> Patterns;
    bool Caches = false;

    bool Empty() const { return Patterns.empty() && !Caches; }
    bool operator==(const TDriveExcludeRules& o) const {
        return Patterns == o.Patterns && Caches == o.Caches;
    }
    bool operator!=(const TDriveExcludeRules& o) const { return !(*this == o); }
};

namespace ExcludeSettings {

constexpr const char* kFileName = "exclude-rules";

// Every drive's rules, by upper-case letter. False with a message when the
// file is there but cannot be read or holds a line that is no rule.
bool Load(std::map<char, TDriveExcludeRules>& drives, std::string& problem);
// The rules of one drive (none when the file holds none, or on a problem).
TDriveExcludeRules ForDrive(char letter, std::string* problem = nullptr);
// Replaces one drive's rules, keeping the others'. False with a message
// (then nothing is changed) when a pattern is refused or the file cannot
// be read or written.
bool SaveDrive(char letter, const TDriveExcludeRules& rules, std::string& problem);

// The file's text for these drives, and back.
std::string Text(const std::map<char, TDriveExcludeRules>& drives);
bool Parse(const std::string& text, std::map<char, TDriveExcludeRules>& drives,
           std::string& problem);

}  // namespace ExcludeSettings
