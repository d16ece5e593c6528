#include "platform/ProcessDiskReads.h"

#include <fcntl.h>
#include <unistd.h>

#include <charconv>
#include <string_view>

TProcessDiskReads::TProcessDiskReads() : fd_(open("/proc/self/io", O_RDONLY | O_CLOEXEC)) {}

TProcessDiskReads::~TProcessDiskReads() {
    if (fd_ >= 0)
        close(fd_);
}

std::optional<std::uint64_t> TProcessDiskReads::Bytes() const {
    if (fd_ < 0)
        return std::nullopt;
    // Each read from the start makes the file anew; it is a few short
    // lines ("read_bytes: 4096" among them).
    char text[512];
    const ssize_t got = pread(fd_, text, sizeof text, 0);
    if (got <= 0)
        return std::nullopt;
    const std::string_view all(text, static_cast<std::size_t>(got));
    constexpr std::string_view kKey = "\nread_bytes: ";
    const std::size_t at = all.find(kKey);
    if (at == std::string_view::npos)
        return std::nullopt;
    std::uint64_t bytes = 0;
    const char* first = all.data() + at + kKey.size();
    const auto [end, ec] = std::from_chars(first, all.data() + all.size(), bytes);
    if (ec != std::errc() || end == first)
        return std::nullopt;
    return bytes;
}
