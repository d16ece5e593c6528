#pragma once

#include <string>
#include <vector>

namespace cq::help {

// Finds the program's own files (the help file, the help engine plugin) from
// the folder of its executable. The executable's own folder comes first: the
// build tree keeps everything beside the program. Then the installed layout,
// reached from the executable's folder by the relative paths the build was
// configured with, so that the same program works under /usr, /usr/local or
// any other prefix: data files in <prefix>/share/cobaltquarry/, the plugin in
// <prefix>/lib/<multiarch>/cobaltquarry/, helper programs (run by the
// program, never by the user) in <prefix>/libexec/cobaltquarry/.
class ProgramFiles {
  public:
    // Where a data file (Cobaltquarry.chm) may lie, in the order looked at.
    static std::vector<std::string> DataCandidates(const std::string& exeDir,
                                                   const std::string& name);
    // Where a plugin (libcq_hhctrl.so) may lie, in the order looked at.
    static std::vector<std::string> PluginCandidates(const std::string& exeDir,
                                                     const std::string& name);
    // Where a helper program (cobaltquarry-scan-draw) may lie.
    static std::vector<std::string> HelperCandidates(const std::string& exeDir,
                                                     const std::string& name);

    // The first candidate that is a file; the first candidate (the file
    // beside the executable) when none is, so that a missing file is
    // reported, and ignored, under the name it has in the build tree.
    static std::string FindData(const std::string& exeDir, const std::string& name);
    static std::string FindPlugin(const std::string& exeDir, const std::string& name);
    static std::string FindHelper(const std::string& exeDir, const std::string& name);

  private:
    static std::vector<std::string> Candidates(const std::string& exeDir, const char* installedDir,
                                               const std::string& name);
    static std::string FirstFile(const std::vector<std::string>& candidates);
};

}  // namespace cq::help
