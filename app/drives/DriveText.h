#pragma once

#include <string>

// The drive text of a drive's display name ("/home (D:)" -> "D:") or of a
// path in drive form ("C:\Data" -> "C:"): the character before the colon and
// the colon. A text with no colon gives a text with no colon (not a drive).
std::string DriveText(const std::string& text);

// The menu caption of a display name: the first character in upper case and
// all others in lower case, letters A to Z only ("Local Disk (C:)" ->
// "Local disk (c:)").
std::string DriveMenuCaption(const std::string& displayName);

// What the user reads when a drive ('D') is no longer mounted: the same
// words wherever it is noticed (the drive menu, a scan).
std::string DriveNotMountedText(char letter);
