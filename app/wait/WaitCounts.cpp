#include "app/wait/WaitCounts.h"

#include <cstdio>

std::string WaitBytesText(std::int64_t bytes) {
    if (bytes < 0)
        bytes = 0;
    if (bytes < 1024)
        return std::to_string(bytes) + " B";
    static const char* const units[] = {"KB", "MB", "GB", "TB", "PB", "EB"};
    double value = static_cast<double>(bytes) / 1024.0;
    int unit = 0;
    // Switch unit before the one-decimal text would read "1024.0".
    while (value >= 1023.95 && unit < 5) {
        value /= 1024.0;
        ++unit;
    }
    // Format digits by hand: printf's "%.1f" follows LC_NUMERIC and could
    // write a decimal comma.
    const auto tenths = static_cast<std::int64_t>(value * 10.0 + 0.5);
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " " + units[unit];
}

std::string WaitElapsedText(std::int64_t elapsedMs) {
    if (elapsedMs < 0)
        elapsedMs = 0;
    const std::int64_t seconds = elapsedMs / 1000;
    const std::int64_t h = seconds / 3600;
    const std::int64_t m = (seconds / 60) % 60;
    const std::int64_t s = seconds % 60;
    char buffer[48];
    if (h > 0)
        std::snprintf(buffer, sizeof buffer, "%lld:%02lld:%02lld", static_cast<long long>(h),
                      static_cast<long long>(m), static_cast<long long>(s));
    else
        std::snprintf(buffer, sizeof buffer, "%lld:%02lld", static_cast<long long>(m),
                      static_cast<long long>(s));
    return buffer;
}

namespace {

std::string Count(std::int64_t n, const char* one, const char* many) {
    return std::to_string(n < 0 ? 0 : n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::string WaitProgressText(const TWaitCounts& counts, std::int64_t elapsedMs) {
    if (!counts.Known)
        return "Elapsed time " + WaitElapsedText(elapsedMs);
    if (!counts.FilesKnown)
        return Count(counts.Folders, "folder", "folders") + "\nElapsed time " +
               WaitElapsedText(elapsedMs);
    return Count(counts.Folders, "folder", "folders") + ", " +
           Count(counts.Files, "file", "files") + "\n" + WaitBytesText(counts.Bytes) + ", " +
           WaitElapsedText(elapsedMs);
}
