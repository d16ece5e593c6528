#include "platform/system/SystemMemory.h"

#include <sys/sysinfo.h>

#include <fstream>
#include <map>
#include <sstream>

namespace cq::platform {
namespace {

// "Key:   12345 kB" lines into key -> bytes.
std::map<std::string, std::uint64_t> MemInfoFields(const std::string& text) {
    std::map<std::string, std::uint64_t> fields;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        const auto colon = line.find(':');
        if (colon == std::string::npos) {
            continue;
        }
        std::istringstream rest(line.substr(colon + 1));
        std::uint64_t value = 0;
        std::string unit;
        if (!(rest >> value)) {
            continue;
        }
        rest >> unit;
        fields[line.substr(0, colon)] = unit == "kB" ? value * 1024 : value;
    }
    return fields;
}

bool ReadFromSysinfo(TMemoryStatus& status) {
    struct sysinfo info {};
    if (sysinfo(&info) != 0 || info.totalram == 0) {
        return false;
    }
    const std::uint64_t unit = info.mem_unit == 0 ? 1 : info.mem_unit;
    status.totalPhys = std::uint64_t(info.totalram) * unit;
    const std::uint64_t available = (std::uint64_t(info.freeram) + info.bufferram) * unit;
    status.memoryLoad = MemoryLoad(status.totalPhys, available);
    return true;
}

}  // namespace

unsigned MemoryLoad(std::uint64_t total, std::uint64_t available) {
    if (total == 0 || available >= total) {
        return 0;
    }
    const std::uint64_t used = total - available;
    // Rounded to nearest without overflow for any realistic total.
    return unsigned((used * 100 + total / 2) / total);
}

bool ParseMemInfo(const std::string& text, TMemoryStatus& status) {
    const auto fields = MemInfoFields(text);
    const auto total = fields.find("MemTotal");
    if (total == fields.end() || total->second == 0) {
        return false;
    }
    std::uint64_t available = 0;
    if (const auto it = fields.find("MemAvailable"); it != fields.end()) {
        available = it->second;
    } else {
        for (const char* key : {"MemFree", "Buffers", "Cached"}) {
            if (const auto part = fields.find(key); part != fields.end()) {
                available += part->second;
            }
        }
    }
    status.totalPhys = total->second;
    status.memoryLoad = MemoryLoad(total->second, available);
    return true;
}

TMemoryStatus ReadMemoryStatus() {
    TMemoryStatus status;
    std::ifstream in("/proc/meminfo");
    std::stringstream text;
    text << in.rdbuf();
    if (in && ParseMemInfo(text.str(), status)) {
        return status;
    }
    ReadFromSysinfo(status);
    return status;
}

}  // namespace cq::platform
