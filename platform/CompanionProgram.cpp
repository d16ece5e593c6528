#include "platform/CompanionProgram.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/help/ProgramFiles.h"

namespace {

// The folder of this process's executable, links resolved; empty when the
// kernel does not tell (no /proc).
std::string ExecutableFolder() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : self.parent_path().string();
}

}  // namespace

void RunCompanionInstead(const std::string& name, char** argv, std::string& error) {
    const std::string folder = ExecutableFolder();
    if (folder.empty()) {
        error = "cannot find " + name + ": the program's own folder is unknown";
        return;
    }
    const std::string path = cq::help::ProgramFiles::FindHelper(folder, name);
    ::execv(path.c_str(), argv);
    error = "cannot run " + path + ": " + std::strerror(errno);
}
