#include "platform/NamePattern.h"

#include <fnmatch.h>

#include <string>

bool NameMatchesWildcard(std::string_view pattern, std::string_view name, bool ignoreCase) {
    // fnmatch wants terminated texts; one buffer per thread spares an
    // allocation per name of a walk.
    thread_local std::string patternText, nameText;
    patternText.assign(pattern);
    nameText.assign(name);
    return fnmatch(patternText.c_str(), nameText.c_str(), ignoreCase ? FNM_CASEFOLD : 0) == 0;
}
