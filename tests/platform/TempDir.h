#pragma once
// A temporary folder for file-system tests, removed with everything below
// it (after making unreadable folders readable again) when the test ends.
#include <grp.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

class TTempDir {
  public:
    TTempDir() {
        std::string pattern = "/tmp/cq-test-XXXXXX";
        path_ = mkdtemp(pattern.data());
        chmod(path_.c_str(), 0755);  // a dropped-privilege child must reach it
    }
    ~TTempDir() {
        std::system(("chmod -R u+rwX '" + path_ + "' 2>/dev/null; rm -rf '" + path_ + "'").c_str());
    }
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& rel) const { return path_ + "/" + rel; }

    void MakeDir(const std::string& rel) const { mkdir((path_ + "/" + rel).c_str(), 0755); }
    // A file of exactly Size bytes (sparse, so big sizes cost nothing).
    void MakeFile(const std::string& rel, long long size) const {
        std::ofstream(path_ + "/" + rel, std::ios::binary).flush();
        truncate((path_ + "/" + rel).c_str(), size);
    }

  private:
    // Folders a test made unreadable must be opened again to be removed.
    static void MakeOwnerAccessible(const std::filesystem::path& dir) {
        std::error_code ec;
        std::filesystem::permissions(dir, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        for (const auto& e : std::filesystem::directory_iterator(dir, ec))
            if (e.is_directory(ec) && !e.is_symlink(ec))
                MakeOwnerAccessible(e.path());
    }

    std::string path_;
};

// Runs Body in a child process and returns its exit status (0..255), or -1
// when it did not exit normally. Lets a test drop privileges or enter its
// own mount namespace without touching the test runner.
inline int RunInChild(const std::function<int()>& body) {
    const pid_t pid = fork();
    if (pid == 0)
        _exit(body());
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// Drops to an unprivileged user (nobody) when running as root, so that
// permission bits apply as they do for a normal user. False on failure.
inline bool DropPrivileges() {
    if (geteuid() != 0)
        return true;
    return setgroups(0, nullptr) == 0 && setresgid(65534, 65534, 65534) == 0 &&
           setresuid(65534, 65534, 65534) == 0;
}
