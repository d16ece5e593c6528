#include "platform/help/ProgramFiles.h"

#include <sys/stat.h>

#include <filesystem>

// The build defines both as paths relative to the installed executable's
// folder; these fallbacks are those of the usual layout.
#ifndef CQ_BIN_TO_DATA_DIR
#define CQ_BIN_TO_DATA_DIR "../share/cobaltquarry"
#endif
#ifndef CQ_BIN_TO_PLUGIN_DIR
#define CQ_BIN_TO_PLUGIN_DIR "../lib/cobaltquarry"
#endif
#ifndef CQ_BIN_TO_HELPER_DIR
#define CQ_BIN_TO_HELPER_DIR "../libexec/cobaltquarry"
#endif

namespace cq::help {
namespace {

std::string Join(std::string folder, const std::string& name) {
    if (folder.empty()) {
        return name;
    }
    if (folder.back() != '/') {
        folder += '/';
    }
    return folder + name;
}

}  // namespace

std::vector<std::string> ProgramFiles::DataCandidates(const std::string& exeDir,
                                                      const std::string& name) {
    return Candidates(exeDir, CQ_BIN_TO_DATA_DIR, name);
}

std::vector<std::string> ProgramFiles::PluginCandidates(const std::string& exeDir,
                                                        const std::string& name) {
    return Candidates(exeDir, CQ_BIN_TO_PLUGIN_DIR, name);
}

std::vector<std::string> ProgramFiles::HelperCandidates(const std::string& exeDir,
                                                        const std::string& name) {
    return Candidates(exeDir, CQ_BIN_TO_HELPER_DIR, name);
}

std::string ProgramFiles::FindData(const std::string& exeDir, const std::string& name) {
    return FirstFile(DataCandidates(exeDir, name));
}

std::string ProgramFiles::FindPlugin(const std::string& exeDir, const std::string& name) {
    return FirstFile(PluginCandidates(exeDir, name));
}

std::string ProgramFiles::FindHelper(const std::string& exeDir, const std::string& name) {
    return FirstFile(HelperCandidates(exeDir, name));
}

std::vector<std::string> ProgramFiles::Candidates(const std::string& exeDir,
                                                  const char* installedDir,
                                                  const std::string& name) {
    std::vector<std::string> paths{Join(exeDir, name)};
    // Without a folder of its own the program has nothing to be relative to.
    if (!exeDir.empty()) {
        // "/usr/bin/../share/..." written as "/usr/share/...": the folder is
        // the executable's real one, so dropping ".." changes nothing but the
        // text a help window shows.
        const std::filesystem::path installed =
            std::filesystem::path(Join(Join(exeDir, installedDir), name)).lexically_normal();
        paths.push_back(installed.string());
    }
    return paths;
}

std::string ProgramFiles::FirstFile(const std::vector<std::string>& candidates) {
    for (const std::string& path : candidates) {
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
            return path;
        }
    }
    return candidates.front();
}

}  // namespace cq::help
