#pragma once
// The extra per-drive lists stored beside a drive's three result files, by
// the role of their kind (see ExtraFileKind.h): "DiskSizes" is saved as
// "CDiskSizes" for drive C. A role missing from the map is not known for
// the set (saved by an earlier version, or dropped by a change that could
// not carry it), until the next scan of the drive stores it.
#include <functional>
#include <map>
#include <string>

#include "engine/StringList.h"

using TExtraLists = std::map<std::string, TStringList, std::less<>>;
