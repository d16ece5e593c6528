#include "engine/ExcludeFile.h"

#include <cerrno>
#include <cstring>
#include <exception>
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
    std::string text;
    try {  // a folder opens, and its reading throws
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } catch (const std::exception&) {
        in.setstate(std::ios::badbit);
    }
    if (in.bad()) {
        error = path + ": the exclude file cannot be read (not a readable file)";
        return false;
    }
    ParseExcludeText(text, patterns);
    return true;
}
