#pragma once
// The program keeps its shared data in parallel lists of texts (paths, sizes,
// percentages, colours), so that a list can be written to and read from a
// result file line by line without conversion. A text is the raw bytes of the
// line: names are kept as the file system reports them, never re-encoded.
#include <string>
#include <vector>

using TStringList = std::vector<std::string>;
