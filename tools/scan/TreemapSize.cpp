#include "tools/scan/TreemapSize.h"

#include <cstdlib>

namespace {

bool ReadSide(const std::string& text, int& side) {
    if (text.empty() || text.size() > 5 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    side = std::atoi(text.c_str());
    return side >= kScanTreemapMinSide && side <= kScanTreemapMaxSide;
}

}  // namespace

bool ParseTreemapSize(const std::string& text, QSize& size) {
    const std::size_t x = text.find_first_of("xX");
    int width = 0, height = 0;
    if (x == std::string::npos || !ReadSide(text.substr(0, x), width) ||
        !ReadSide(text.substr(x + 1), height))
        return false;
    size = QSize(width, height);
    return true;
}
