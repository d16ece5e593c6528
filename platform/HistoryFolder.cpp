#include "platform/HistoryFolder.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

std::string HistoryFolder(const std::string& dataFolder, std::string* problem) {
    auto fail = [problem](const std::string& why) {
        if (problem != nullptr) {
            *problem = why;
        }
        return std::string();
    };
    if (dataFolder.empty()) {
        return fail("there is no data folder");
    }
    const std::string folder = dataFolder + "history";
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        return fail(folder + " cannot be made: " + std::strerror(errno));
    }
    struct stat info;
    // Not followed: a link put in place of the folder could lead the kept
    // results anywhere.
    if (lstat(folder.c_str(), &info) != 0) {
        return fail(folder + " cannot be reached: " + std::strerror(errno));
    }
    if (!S_ISDIR(info.st_mode) || info.st_uid != geteuid()) {
        return fail(folder + " is not a folder of your own");
    }
    if ((info.st_mode & 077) != 0 && chmod(folder.c_str(), info.st_mode & 0700) != 0) {
        return fail(folder + " cannot be made private: " + std::strerror(errno));
    }
    if (problem != nullptr) {
        problem->clear();
    }
    return folder + "/";
}

std::string ExistingHistoryFolder(const std::string& dataFolder) {
    if (dataFolder.empty()) {
        return {};
    }
    const std::string folder = dataFolder + "history";
    struct stat info;
    if (lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != geteuid()) {
        return {};
    }
    return folder + "/";
}

std::vector<std::string> DataFileNames(const std::string& folder) {
    std::vector<std::string> names;
    DIR* listing = opendir(folder.c_str());
    if (listing == nullptr) {
        return names;
    }
    while (const dirent* entry = readdir(listing)) {
        struct stat info;
        if (fstatat(dirfd(listing), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode)) {
            names.emplace_back(entry->d_name);
        }
    }
    closedir(listing);
    return names;
}

bool RemoveDataFile(const std::string& path) {
    return unlink(path.c_str()) == 0 || errno == ENOENT;
}

std::int64_t DataFileTime(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? static_cast<std::int64_t>(info.st_mtime) : -1;
}
