#include "platform/Console.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace {

std::atomic<bool>* g_interruptFlag = nullptr;
std::atomic<bool> g_exitAtOnce{false};
std::atomic<bool> g_interrupted{false};  // a signal came, whoever set the flag

// Only atomic stores, or _exit: safe inside a signal handler (the flags
// are lock-free on every platform the program runs on).
void OnSignal(int) {
    if (g_exitAtOnce.load())
        _exit(kInterruptedStatus);
    g_interrupted.store(true);
    if (g_interruptFlag)
        g_interruptFlag->store(true);
}

}  // namespace

bool StandardErrorIsTerminal() {
    return isatty(STDERR_FILENO) == 1;
}

void CancelOnInterrupt(std::atomic<bool>* flag) {
    static_assert(std::atomic<bool>::is_always_lock_free, "flag must be lock-free");
    g_interruptFlag = flag;
    struct sigaction sa = {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESETHAND | SA_RESTART;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
}

void ExitAtOnceOnInterrupt(bool on) {
    g_exitAtOnce.store(on);
    // An interrupt that came while the flag was watched ends the step now.
    if (on && g_interrupted.load() && g_interruptFlag != nullptr && g_interruptFlag->load())
        _exit(kInterruptedStatus);
}

std::optional<std::string> ResolvedNativePath(const std::string& path) {
    char buf[PATH_MAX];
    if (!realpath(path.c_str(), buf))
        return std::nullopt;
    return std::string(buf);
}

bool IsNativeFolder(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool MakeWritableNativeFolder(const std::string& path, std::string& error) {
    std::error_code failure;
    std::filesystem::create_directories(path, failure);
    if (!IsNativeFolder(path)) {
        error = "not a folder, and it cannot be made one";
        if (failure)
            error += " (" + failure.message() + ")";
        return false;
    }
    if (access(path.c_str(), W_OK | X_OK) != 0) {
        error = "the folder cannot be written to (" + std::string(std::strerror(errno)) + ")";
        return false;
    }
    return true;
}
