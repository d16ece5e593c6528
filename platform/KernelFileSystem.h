#pragma once
// Whether a folder is the root of a kernel file system: one that holds no
// user data but views of the kernel's state (proc, sysfs, devpts, cgroup,
// debugfs, tracefs, securityfs, pstore, bpf, binfmt_misc, selinuxfs). They
// are told by the file system's magic number (statfs(2) f_type), the list
// ncdu's --exclude-kernfs uses, so that an export names such a folder
// "kernfs" as ncdu does.
#include <string>

// The type number statfs reports is one of them.
bool IsKernelFileSystemType(unsigned long type);
// The folder Name inside the open folder ParentFd (-1: Name is a path); false
// when it cannot be opened.
bool IsKernelFileSystem(int parentFd, const std::string& name);
