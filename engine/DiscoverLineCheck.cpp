#include "engine/DiscoverLineCheck.h"

#include <limits>

std::string TDiscoverLineCheck::LongLine(std::string_view text) {
    std::size_t number = 1;
    while (!text.empty()) {
        const std::size_t end = text.find("\r\n");
        const std::size_t length = end == std::string_view::npos ? text.size() : end;
        if (length > kLongestDiscoverLine)
            return "line " + std::to_string(number) + ": longer than " +
                   std::to_string(kLongestDiscoverLine) + " bytes";
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 2);
        ++number;
    }
    return {};
}

bool TDiscoverLineCheck::AddTotal(const TTypeTotal& total) {
    constexpr auto kMost = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    std::int64_t files = 0, bytes = 0, allocated = 0;
    if (total.Files > kMost || total.Bytes < 0 || total.Allocated < 0 ||
        __builtin_add_overflow(files_, static_cast<std::int64_t>(total.Files), &files) ||
        __builtin_add_overflow(bytes_, total.Bytes, &bytes) ||
        __builtin_add_overflow(allocated_, total.Allocated, &allocated))
        return false;
    files_ = files;
    bytes_ = bytes;
    allocated_ = allocated;
    return true;
}
