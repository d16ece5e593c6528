#pragma once
// What the window benchmarks share: a data folder of their own holding a
// stored drive, made and saved by a child process so that none of the
// memory that takes stays in the process measured, and the process's
// resident memory.
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numeric>
#include <string>
#include <vector>

#include "bench/SyntheticDrive.h"
#include "engine/ResultStore.h"

// A new folder "/tmp/cq-window-XXXXXX" made XDG_DATA_HOME, with drive C:'s
// results as make gives them (run in a child process); exits on failure.
inline std::string MakeDataHome(const std::function<TSyntheticDrive()>& make) {
    char name[] = "/tmp/cq-window-XXXXXX";
    const std::string home = mkdtemp(name);
    setenv("XDG_DATA_HOME", home.c_str(), 1);
    const std::string data = home + "/cobaltquarry/";
    std::filesystem::create_directories(data);
    const pid_t child = fork();
    if (child == 0) {
        const TSyntheticDrive drive = make();
        TResultStore store(data);
        store.SetFiles("C:");
        if (!store.SaveAnalizeData({drive.Dirs, drive.Sizes, drive.Percents})) {
            std::fprintf(stderr, "cannot store the drive: %s\n", store.SaveError.c_str());
            _exit(1);
        }
        _exit(0);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        std::exit(1);
    return home;
}

// The synthetic drive with the folder and its parents added, in order.
inline TSyntheticDrive DriveWith(std::size_t folders, const std::string& driveForm,
                                 std::int64_t bytes) {
    TSyntheticDrive drive = MakeSyntheticDrive(folders);
    std::vector<std::string> dirs(drive.Dirs.begin(), drive.Dirs.end());
    std::vector<std::string> sizes(drive.Sizes.begin(), drive.Sizes.end());
    std::vector<std::string> percents(drive.Percents.begin(), drive.Percents.end());
    // "C:" is the drive's own entry; "C:\\work", "C:\\work\\x", ... are added.
    for (std::size_t cut = driveForm.find('\\', 3);; cut = driveForm.find('\\', cut + 1)) {
        dirs.push_back(driveForm.substr(0, cut));
        sizes.push_back(std::to_string(bytes));
        percents.push_back("100");
        if (cut == std::string::npos)
            break;
    }
    std::vector<std::size_t> order(dirs.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return dirs[a] < dirs[b]; });
    TSyntheticDrive d;
    for (std::size_t i : order) {
        d.Dirs.push_back(dirs[i]);
        d.Sizes.push_back(sizes[i]);
        d.Percents.push_back(percents[i]);
    }
    return d;
}

// The bytes of the three result files of drive C: in home.
inline std::uintmax_t ResultFileBytes(const std::string& home) {
    const std::string data = home + "/cobaltquarry/";
    std::uintmax_t bytes = 0;
    for (const char* name : {"CDirs", "CDirSizes", "CPercents"})
        bytes += std::filesystem::file_size(data + name);
    return bytes;
}

// The resident memory of this process in KiB.
inline long ResidentKiB() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> value;
            return value;
        }
        status.ignore(1 << 12, '\n');
    }
    return -1;
}

// Processor milliseconds (user and system) of the calling thread or, with
// RUSAGE_SELF, of the whole process.
inline double CpuMs(int who) {
    struct rusage usage {};
    getrusage(who, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}
