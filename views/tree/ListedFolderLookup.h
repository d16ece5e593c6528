#pragma once
// Finding the folder a listing shows in the global folder list. A listing
// names a drive root "C:\" while the list keeps it as "C:"; every other path
// is written alike in both. Names compare byte for byte (file names are
// case-sensitive here), only the drive letter compares without case.
#include <string>
#include <string_view>

#include "engine/StringList.h"

// First position, in list order, of the entry that names the same folder as
// the listing path; -1 when there is none. The list is in byte order, so this
// costs a few bisections instead of a walk over a million entries.
int FindListedFolder(const TStringList& dirs, std::string_view listedPath);

// The drive letter in its other case (any other character as it is), for
// looking a path up under both spellings of its letter.
char OtherLetterCase(char letter);

// The listing path in the form the list keeps ("C:\" becomes "C:").
std::string ListedToStoredPath(std::string_view listedPath);
