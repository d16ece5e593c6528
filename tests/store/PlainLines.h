#pragma once
// The line rule of result files written out plainly, one byte at a time:
// the reference the splitter, the marker and the counter are held to.
#include <string>
#include <string_view>

#include "engine/StringList.h"

inline TStringList PlainLines(std::string_view bytes) {
    TStringList lines;
    std::string line;
    bool open = false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n') {
            line += c;
            open = true;
            continue;
        }
        lines.push_back(line);
        line.clear();
        open = false;
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
    }
    if (open)
        lines.push_back(line);
    return lines;
}
