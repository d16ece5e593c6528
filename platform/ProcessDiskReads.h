#pragma once
// The bytes this process has had read from its storage devices: reads the
// page cache answered are not counted, so the count stays where it is while
// a walk finds everything in memory and grows as soon as it waits on a
// disk. Read from /proc/self/io, which covers all of the process's threads.
#include <cstdint>
#include <optional>

class TProcessDiskReads {
  public:
    TProcessDiskReads();
    ~TProcessDiskReads();
    TProcessDiskReads(const TProcessDiskReads&) = delete;
    TProcessDiskReads& operator=(const TProcessDiskReads&) = delete;

    // The count now; none where the kernel keeps no such count (built
    // without I/O accounting, /proc not mounted). Safe from any thread.
    std::optional<std::uint64_t> Bytes() const;

  private:
    int fd_ = -1;
};
