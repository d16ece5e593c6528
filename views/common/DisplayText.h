#pragma once
// The text a user reads for a drive-form path or name. Result lists and
// lookups keep "\", CR, LF and "%" of names escaped (%5C %0D %0A %25); a
// label, hint or message shows the name itself instead, with control
// characters made visible (see VisibleName).
#include <QString>
#include <string_view>

QString DisplayText(std::string_view escaped);
