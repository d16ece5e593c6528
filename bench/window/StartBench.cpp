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
// KiB|result-file bytes|processor ms of the window's thread|of the process
// (the processor times tell the work apart from a busy machine's waits:
// what the window's thread does after the splash, and whether the other
// threads' load fits in the splash's pause).
#include <QApplication>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/main/FormMain.h"
#include "app/main/Program.h"
#include "app/splash/FormSplash.h"
#include "bench/window/StoredDrive.h"

namespace {

using TClock = std::chrono::steady_clock;

double MsSince(TClock::time_point start) {
    return std::chrono::duration<double, std::milli>(TClock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    const std::size_t folders = argc > 1 ? std::stoul(argv[1]) : 1'000'000;
    const std::uint64_t files = argc > 2 ? std::stoull(argv[2]) : 0;
    const std::string home = MakeDataHome([folders, files] {
        return files != 0 ? MakeSyntheticFileDrive(folders, files) : MakeSyntheticDrive(folders);
    });
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    cq::app::SetProgramIdentity();

    const TClock::time_point start = TClock::now();
    const double threadCpu = CpuMs(RUSAGE_THREAD), processCpu = CpuMs(RUSAGE_SELF);
    cq::app::TProgram program;
    program.Window().show();
    double usable = 0;
    std::size_t loaded = 0;
    long resident = 0;
    double windowCpu = 0, allCpu = 0;
    QTimer::singleShot(0, [&] {
        usable = MsSince(start);
        windowCpu = CpuMs(RUSAGE_THREAD) - threadCpu;
        allCpu = CpuMs(RUSAGE_SELF) - processCpu;
        loaded = program.Window().Store.GlobalDirs().size();
        resident = ResidentKiB();
        QApplication::quit();
    });
    QApplication::exec();
    const double splash = cq::app::TFormSplash::kDefaultPauseMs;
    std::printf("%zu|%.0f|%.0f|%zu|%ld|%ju|%.0f|%.0f\n", folders, usable, usable - splash, loaded,
                resident, ResultFileBytes(home), windowCpu, allCpu);
    std::filesystem::remove_all(home);
    return loaded == folders ? 0 : 1;
}
