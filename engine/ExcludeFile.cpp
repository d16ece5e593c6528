#include "engine/ExcludeFile.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

void ParseExcludeText(const std::string& text, std::vector<std::string>& patterns) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::size_t last = end;
        while (last > start && (text[last - 1] == '\r' || text[last - 1] == '\n'))
            --last;
        if (last > start)
            patterns.push_back(text.substr(start, last - start));
        start = end + 1;
    }
}

bool ReadExcludeFile(const std::string& path, std::vector<std::string>& patterns,
                     std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": the exclude file cannot be read (" + std::strerror(errno) + ")";
        return false;
    }
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) {
        error = path + ": the exclude file cannot be read";
        return false;
    }
    ParseExcludeText(text, patterns);
    return true;
}
