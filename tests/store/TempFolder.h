#pragma once
// A fresh folder under /tmp for one test, removed with everything in it.
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

class TTempFolder {
  public:
    TTempFolder() {
        char name[] = "/tmp/cq-store-XXXXXX";
        path_ = mkdtemp(name);
    }
    ~TTempFolder() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& Path() const { return path_; }
    // The folder as a data folder: with its trailing "/".
    std::string Slash() const { return path_ + "/"; }

  private:
    std::string path_;
};

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline unsigned ModeOf(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0xFFFF;
}
