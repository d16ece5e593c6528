#include "platform/LargePages.h"

#include <fcntl.h>
#include <gnu/libc-version.h>
#include <sys/auxv.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

namespace {

constexpr const char* kTunables = "GLIBC_TUNABLES";
constexpr const char* kSetting = "glibc.malloc.hugetlb";
// Set only in the second start: "=" and the user's GLIBC_TUNABLES, or "-"
// when the user had none.
constexpr const char* kUserTunables = "COBALTQUARRY_USER_TUNABLES";

// The setting came with the C library 2.35.
bool LibraryKnowsSetting() {
    int major = 0, minor = 0;
    if (std::sscanf(gnu_get_libc_version(), "%d.%d", &major, &minor) != 2)
        return false;
    return major > 2 || (major == 2 && minor >= 35);
}

// Plain system calls: this may run before the C++ library's own start-up.
std::string ReadSmallFile(const char* path) {
    char text[256];
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    const ssize_t n = ::read(fd, text, sizeof text);
    ::close(fd);
    return n > 0 ? std::string(text, static_cast<size_t>(n)) : std::string();
}

// The value of the environment entry "NAME=value", or null when the entry
// is another variable's.
const char* ValueOf(const char* entry, const char* name) {
    const size_t n = std::strlen(name);
    return std::strncmp(entry, name, n) == 0 && entry[n] == '=' ? entry + n + 1 : nullptr;
}

// The value of Name in an environment, or null.
const char* ValueIn(char** envp, const char* name) {
    for (char** e = envp; e != nullptr && *e != nullptr; ++e) {
        if (const char* value = ValueOf(*e, name))
            return value;
    }
    return nullptr;
}

// GLIBC_TUNABLES (null when unset) with the huge-page setting added; none
// when it already names one.
std::optional<std::string> TunablesWithLargePages(const char* tunables) {
    const std::string user = tunables ? tunables : "";
    if (user.find(kSetting) != std::string::npos)
        return std::nullopt;
    const std::string added = std::string(kSetting) + "=1";
    return user.empty() ? added : user + ":" + added;
}

}  // namespace

bool HugePagesOnlyWhenAsked(const std::string& enabledText) {
    return enabledText.find("[madvise]") != std::string::npos;
}

void StartWithLargePages(char** argv, char** envp) {
    if (ValueIn(envp, kUserTunables) != nullptr)
        return;  // the second start
    // Started through the dynamic loader by hand ("ld.so PROGRAM"), the
    // running file is the loader, which would take the program's first
    // argument for the program; the kernel then tells no loader base.
    if (getauxval(AT_BASE) == 0)
        return;
    const char* user = ValueIn(envp, kTunables);
    const std::optional<std::string> tunables = TunablesWithLargePages(user);
    if (!tunables || !LibraryKnowsSetting() ||
        !HugePagesOnlyWhenAsked(ReadSmallFile("/sys/kernel/mm/transparent_hugepage/enabled")))
        return;
    // The user's environment without GLIBC_TUNABLES, then the two set here.
    const std::string tunablesEntry = std::string(kTunables) + "=" + *tunables;
    const std::string savedEntry =
        std::string(kUserTunables) + (user ? std::string("==") + user : std::string("=-"));
    std::vector<char*> env;
    for (char** e = envp; e != nullptr && *e != nullptr; ++e) {
        if (ValueOf(*e, kTunables) == nullptr)
            env.push_back(*e);
    }
    env.push_back(const_cast<char*>(tunablesEntry.c_str()));
    env.push_back(const_cast<char*>(savedEntry.c_str()));
    env.push_back(nullptr);
    ::execve("/proc/self/exe", argv, env.data());
    // Not restarted: the program goes on as first started.
}

void RestoreUserTunables() {
    const char* saved = std::getenv(kUserTunables);
    if (saved == nullptr)
        return;
    if (saved[0] == '=')
        setenv(kTunables, saved + 1, 1);
    else
        unsetenv(kTunables);
    unsetenv(kUserTunables);
}
