// The time from the program's start until its main window answers input,
// with stored results of drive C: of 1 000 000 folders and, for comparison,
// of one folder. The window is the real one (offscreen); "answers input" is
// the first moment the event loop is free once the window has shown the
// stored results of C:\ (a zero timer started after show() fires).
//
// Usage: bench_window_start FOLDERS   (in a process of its own per run)
#include <stdlib.h>
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <filesystem>
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

// A data folder of its own with a stored drive C: of the given size.
std::string StoreDriveC(std::size_t folders) {
    char name[] = "/tmp/cq-window-start-XXXXXX";
    const std::string home = mkdtemp(name);
    setenv("XDG_DATA_HOME", home.c_str(), 1);
    const std::string data = home + "/cobaltquarry/";
    std::filesystem::create_directories(data);
    const TSyntheticDrive drive = MakeSyntheticDrive(folders);
    TResultStore store(data);
    store.SetFiles("C:");
    if (!store.SaveAnalizeData(drive.Dirs, drive.Sizes, drive.Percents)) {
        std::fprintf(stderr, "cannot store the drive: %s\n", store.SaveError.c_str());
        std::exit(1);
    }
    return home;
}

}  // namespace

int main(int argc, char** argv) {
    const std::size_t folders = argc > 1 ? std::stoul(argv[1]) : 1'000'000;
    const std::string home = StoreDriveC(folders);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    cq::app::SetProgramIdentity();

    const TClock::time_point start = TClock::now();
    cq::app::TProgram program;
    program.Window().show();
    double usable = 0;
    std::size_t loaded = 0;
    QTimer::singleShot(0, [&] {
        usable = MsSince(start);
        loaded = program.Window().Store.GlobalDirs.size();
        QApplication::quit();
    });
    QApplication::exec();
    const double splash = cq::app::TFormSplash::kDefaultPauseMs;
    std::printf("%zu|%.0f|%.0f|%zu\n", folders, usable, usable - splash, loaded);
    std::filesystem::remove_all(home);
    return loaded == folders ? 0 : 1;
}
