#include "platform/KernelFileSystem.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <array>

namespace {

constexpr std::array<unsigned long, 12> kKernelTypes = {
    BINFMTFS_MAGIC,   BPF_FS_MAGIC,       CGROUP_SUPER_MAGIC, CGROUP2_SUPER_MAGIC,
    DEBUGFS_MAGIC,    DEVPTS_SUPER_MAGIC, PROC_SUPER_MAGIC,   PSTOREFS_MAGIC,
    SECURITYFS_MAGIC, SELINUX_MAGIC,      SYSFS_MAGIC,        TRACEFS_MAGIC};

}  // namespace

bool IsKernelFileSystemType(unsigned long type) {
    // f_type is signed on some targets: compare its low 32 bits, as the
    // magic numbers are 32-bit.
    const unsigned long low = type & 0xffffffffUL;
    return std::find(kKernelTypes.begin(), kKernelTypes.end(), low) != kKernelTypes.end();
}

bool IsKernelFileSystem(int parentFd, const std::string& name) {
    const int fd = ::openat(parentFd < 0 ? AT_FDCWD : parentFd, name.c_str(),
                            O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct statfs info {};
    const bool read = ::fstatfs(fd, &info) == 0;
    ::close(fd);
    return read && IsKernelFileSystemType(static_cast<unsigned long>(info.f_type));
}
