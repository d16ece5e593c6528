#pragma once

#include <cstdint>
#include <string>

namespace cq::platform {

// The machine's memory as the About window shows it.
struct TMemoryStatus {
    std::uint64_t totalPhys = 0;  // bytes of physical memory
    unsigned memoryLoad = 0;      // share of it in use, 0 to 100
};

// Reads /proc/meminfo, falling back to sysinfo() when it cannot be read.
TMemoryStatus ReadMemoryStatus();

// Figures from the text of /proc/meminfo. Uses MemAvailable for the free
// part (free pages plus reclaimable caches); kernels without it fall back to
// MemFree + Buffers + Cached. Returns false when MemTotal is missing or zero.
bool ParseMemInfo(const std::string& text, TMemoryStatus& status);

// Load in percent for a total and an available byte count, rounded to the
// nearest whole percent and kept within 0..100.
unsigned MemoryLoad(std::uint64_t total, std::uint64_t available);

}  // namespace cq::platform
