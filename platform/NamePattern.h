#pragma once
// A name matched against a shell wildcard ("*.o", "core.[0-9]*") as find's
// -name does: fnmatch without FNM_PATHNAME, so "*" and "?" also match a
// "/" (a name holds none) and a leading dot; with ignoreCase as -iname
// (FNM_CASEFOLD). Both are raw bytes; in a UTF-8 locale "?" takes one whole
// character, and a name that is not valid there is matched byte by byte, as
// find matches it. Safe to call from several threads at once.
#include <string_view>

bool NameMatchesWildcard(std::string_view pattern, std::string_view name, bool ignoreCase);
