#include "engine/UserSettings.h"

#include <errno.h>

#include <cstring>

#include "platform/AtomicFile.h"
#include "platform/DataFolder.h"

namespace UserSettings {

std::string PathOf(const std::string& name, std::string* problem) {
    const std::string folder = ConfigFolder(problem);
    return folder.empty() ? std::string() : folder + name;
}

bool Read(const std::string& name, std::string& bytes, std::string& problem) {
    bytes.clear();
    const std::string path = PathOf(name, &problem);
    if (path.empty()) {
        return false;
    }
    if (ReadDataFile(path, bytes, kMostBytes)) {
        problem.clear();
        return true;
    }
    const int error = errno;
    if (error == ENOENT) {
        problem.clear();
        return true;
    }
    problem = DataFileProblem(path, error);
    return false;
}

bool Write(const std::string& name, const std::string& bytes, std::string& problem) {
    const std::string path = PathOf(name, &problem);
    if (path.empty()) {
        return false;
    }
    if (!WriteFileAtomically(path, bytes)) {
        problem = path + ": cannot be written: " + std::strerror(errno);
        return false;
    }
    problem.clear();
    return true;
}

}  // namespace UserSettings
