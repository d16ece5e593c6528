#pragma once
// For tests that make memory run out on purpose, in a child process: a
// bound on the address space a little above what the process maps now.
#include <sys/resource.h>

#include <cstdint>
#include <fstream>
#include <string>

// The address sanitizer's allocator ends the process instead of throwing
// when memory is bounded: such tests skip under it.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CQ_UNDER_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define CQ_UNDER_ASAN 1
#endif

// Bounds this process's address space (RLIMIT_AS) to what it has mapped
// now plus room bytes.
inline void BoundAddressSpace(std::uint64_t room) {
    std::ifstream status("/proc/self/status");
    std::string key;
    std::uint64_t kib = 0;
    while (status >> key && key != "VmSize:") {
    }
    status >> kib;
    const rlimit bound{kib * 1024 + room, kib * 1024 + room};
    setrlimit(RLIMIT_AS, &bound);
}
