#pragma once
// The files of what the user sets (exclude rules, cleanup actions), one file
// a kind in the settings folder (ConfigFolder). Each kind owns its format;
// this module only finds, reads and replaces the files, so that every kind
// is read with the same limits and written whole or not at all.
#include <cstdint>
#include <string>

namespace UserSettings {

// A settings file is small text a user may edit; anything larger is not a
// settings file and is refused rather than read into memory.
constexpr std::uint64_t kMostBytes = 4 * 1024 * 1024;

// The file's path in the settings folder; empty, with the reason in problem,
// when there is no settings folder.
std::string PathOf(const std::string& name, std::string* problem = nullptr);

// The file's bytes. A missing file is no problem: bytes empty and true.
// False, with a message for the user in problem, when the file is there but
// cannot be read (a link, a folder, another's file, too large).
bool Read(const std::string& name, std::string& bytes, std::string& problem);

// Replaces the file whole (written beside it, then renamed over it), so a
// failed or interrupted write leaves the earlier settings as they were.
bool Write(const std::string& name, const std::string& bytes, std::string& problem);

}  // namespace UserSettings
