#pragma once
// Taking drive-form paths (C:\Program files) apart for display and navigation.
#include <string>
#include <string_view>

// The text after the last backslash (the whole text when there is none), its
// first character upper-cased when it is a letter a to z:
// "C:\program files" gives "Program files", "C:" gives "C:".
std::string RemoveParentDir(std::string_view path);
