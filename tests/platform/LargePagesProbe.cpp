// Started by LargePagesTest, as the desktop program starts: prints what the
// restart for huge pages left behind, one "key=value" per line.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "platform/LargePages.h"

LARGE_PAGES_AT_START

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CQ_OWN_ALLOCATOR 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define CQ_OWN_ALLOCATOR 1
#endif

namespace {

std::string Show(const char* value) {
    return value ? value : "(unset)";
}

// Whether this image is the second start: its first environment, kept in
// /proc/self/environ whatever the program changed since, has the variable
// the restart sets.
bool Restarted() {
    std::ifstream in("/proc/self/environ");
    std::string entry;
    while (std::getline(in, entry, '\0')) {
        if (entry.rfind("COBALTQUARRY_USER_TUNABLES=", 0) == 0)
            return true;
    }
    return false;
}

// The THPeligible flag of the mapping that holds Address (0 when not found).
[[maybe_unused]] int HugePageEligible(const void* address) {
    const auto at = reinterpret_cast<unsigned long>(address);
    std::ifstream in("/proc/self/smaps");
    std::string line;
    bool inside = false;
    while (std::getline(in, line)) {
        unsigned long lo = 0, hi = 0;
        if (std::sscanf(line.c_str(), "%lx-%lx ", &lo, &hi) == 2 && line.find(':') > 12) {
            inside = lo <= at && at < hi;
        } else if (inside && line.rfind("THPeligible:", 0) == 0) {
            return std::atoi(line.c_str() + 12);
        }
    }
    return 0;
}

}  // namespace

int main() {
    // A block the allocator maps on its own, larger than a huge page.
    const auto block = std::make_unique<char[]>(8 << 20);
    std::printf("now=%s\n", Show(std::getenv("GLIBC_TUNABLES")).c_str());
    std::printf("restarted=%s\n", Restarted() ? "yes" : "no");
    std::printf("left=%s\n", Show(std::getenv("COBALTQUARRY_USER_TUNABLES")).c_str());
    std::printf("other=%s\n", Show(std::getenv("PROBE_OTHER")).c_str());
#if defined(CQ_OWN_ALLOCATOR)
    // The sanitizer's allocator stands in for the C library's: no setting
    // of the latter reaches it.
    std::printf("eligible=-\n");
#else
    std::printf("eligible=%d\n", HugePageEligible(block.get()));
#endif
    return 0;
}
