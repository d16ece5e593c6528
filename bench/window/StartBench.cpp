// The time from the program's start until its main window answers input,
// with stored results of drive C: of 1 000 000 folders and, for comparison,
// of one folder. The window is the real one (offscreen); "answers input" is
// the first moment the event loop is free once the window has shown the
// stored results of C:\ (a zero timer started after show() fires). At that
// moment it also takes the process's resident memory and the bytes of the
// three result files, for the memory the window needs per byte stored.
// The drive is made and stored by a child process, so that none of the
// memory that took stays in this one.
//
// Usage: bench_window_start FOLDERS [FILES]   (in a process of its own per run)
//   With FILES, the folders hold that many files of realistic sizes
//   (MakeSyntheticFileDrive); without, random sizes (MakeSyntheticDrive).
// Prints FOLDERS|ms from start|ms after the splash|folders shown|resident
// KiB|result-file bytes.
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/main/FormMain.h"
#include "app/main/Program.h"
#include "app/splash/FormSplash.h"
#include "bench/SyntheticDrive.h"
#include "engine/ResultStore.h"

namespace {

using TClock = std::chrono::steady_clock;

double MsSince(TClock::time_point start) {
    return std::chrono::duration<double, std::milli>(TClock::now() - start).count();
}

// Stores drive C: of the given size in data (in a child process).
void StoreDriveC(const std::string& data, std::size_t folders, std::uint64_t files) {
    const pid_t child = fork();
    if (child == 0) {
        const TSyntheticDrive drive =
            files != 0 ? MakeSyntheticFileDrive(folders, files) : MakeSyntheticDrive(folders);
        TResultStore store(data);
        store.SetFiles("C:");
        if (!store.SaveAnalizeData(drive.Dirs, drive.Sizes, drive.Percents)) {
            std::fprintf(stderr, "cannot store the drive: %s\n", store.SaveError.c_str());
            _exit(1);
        }
        _exit(0);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        std::exit(1);
}

// A data folder of its own with a stored drive C: of the given size.
std::string MakeDataHome(std::size_t folders, std::uint64_t files) {
    char name[] = "/tmp/cq-window-start-XXXXXX";
    const std::string home = mkdtemp(name);
    setenv("XDG_DATA_HOME", home.c_str(), 1);
    const std::string data = home + "/cobaltquarry/";
    std::filesystem::create_directories(data);
    StoreDriveC(data, folders, files);
    return home;
}

std::uintmax_t ResultFileBytes(const std::string& home) {
    const std::string data = home + "/cobaltquarry/";
    std::uintmax_t bytes = 0;
    for (const char* name : {"CDirs", "CDirSizes", "CPercents"})
        bytes += std::filesystem::file_size(data + name);
    return bytes;
}

// The resident memory of this process in KiB.
long ResidentKiB() {
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

}  // namespace

int main(int argc, char** argv) {
    const std::size_t folders = argc > 1 ? std::stoul(argv[1]) : 1'000'000;
    const std::uint64_t files = argc > 2 ? std::stoull(argv[2]) : 0;
    const std::string home = MakeDataHome(folders, files);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    cq::app::SetProgramIdentity();

    const TClock::time_point start = TClock::now();
    cq::app::TProgram program;
    program.Window().show();
    double usable = 0;
    std::size_t loaded = 0;
    long resident = 0;
    QTimer::singleShot(0, [&] {
        usable = MsSince(start);
        loaded = program.Window().Store.GlobalDirs.size();
        resident = ResidentKiB();
        QApplication::quit();
    });
    QApplication::exec();
    const double splash = cq::app::TFormSplash::kDefaultPauseMs;
    std::printf("%zu|%.0f|%.0f|%zu|%ld|%ju\n", folders, usable, usable - splash, loaded, resident,
                ResultFileBytes(home));
    std::filesystem::remove_all(home);
    return loaded == folders ? 0 : 1;
}
