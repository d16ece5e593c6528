#include "engine/ResultFileText.h"

#include <algorithm>
#include <cstring>

void SplitResultLines(std::string_view bytes, TStringList& lines) {
    lines.clear();
    lines.reserve(static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1);
    const char* pos = bytes.data();
    const char* end = pos + bytes.size();
    while (pos < end) {
        const char* stop = pos;
        while (stop < end && *stop != '\r' && *stop != '\n') {
            ++stop;
        }
        lines.emplace_back(pos, stop);
        if (stop < end && *stop == '\r') {
            ++stop;
            if (stop < end && *stop == '\n') {
                ++stop;
            }
        } else if (stop < end) {
            ++stop;
        }
        pos = stop;
    }
}

std::string JoinResultLines(const TStringList& lines) {
    std::size_t size = 0;
    for (const auto& line : lines) {
        size += line.size() + 2;
    }
    std::string bytes;
    bytes.reserve(size);
    for (const auto& line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    return bytes;
}
