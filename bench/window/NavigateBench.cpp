// Entering a folder of many files in the real main window (offscreen), with
// stored results of drive C: of many folders: the time from the entry until
// the views show the folder and the window answers input again (a zero
// timer started after the entry fires), then for going up to its parent
// and entering it once more. The folder is a real one on drive C: (made
// once, its files empty and sparse of random sizes) and the stored results
// hold it and its parents among the synthetic drive's folders.
//
// Usage: bench_window_navigate FOLDER FILES [FOLDERS]
// With NAVIGATE_PERF_CONTROL=CTL,ACK (the fifos of `perf record -D -1
// --control fifo:CTL,ACK`) perf records only the first entry, or the step
// NAVIGATE_PERF_STEP names (enter, up, again), without the set-up of the
// stored drive that would swamp its profile. NAVIGATE_SHOT=FILE.png keeps
// a picture of the window after the first entry.
// Prints FILES|ms to enter|ms to go up|ms to enter again|rows shown|the
// same three in processor ms of the window's thread
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <numeric>
#include <random>
#include <string>

#include "app/main/FormMain.h"
#include "app/main/Program.h"
#include "bench/window/StoredDrive.h"
#include "platform/DriveForm.h"
#include "views/bar/PBExListview.h"

namespace {

using TClock = std::chrono::steady_clock;

// Makes folder with files files (when it does not hold them yet); returns
// their total size.
std::int64_t MakeFolder(const std::string& folder, std::size_t files) {
    std::filesystem::create_directories(folder);
    std::mt19937_64 random(7);
    std::int64_t total = 0;
    for (std::size_t i = 0; i < files; ++i) {
        const std::string path = folder + "/file " + std::to_string(i) + ".dat";
        const std::int64_t size = static_cast<std::int64_t>(random() % 10'000'000);
        total += size;
        if (std::filesystem::exists(path))
            continue;
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT, 0644);
        if (fd < 0 || ftruncate(fd, size) != 0) {
            std::perror(path.c_str());
            std::exit(1);
        }
        close(fd);
    }
    return total;
}

// The milliseconds from step until the event loop is free, and the
// processor milliseconds of the window's thread in that time (the work,
// apart from a busy machine's waits). A loop of its own waits for the
// timer: the application's quit would close the window, and with it free
// the lists the later steps need.
struct TTimed {
    double Ms = 0, CpuMs = 0;
};
TTimed Timed(const std::function<void()>& step) {
    const TClock::time_point start = TClock::now();
    const double cpu = CpuMs(RUSAGE_THREAD);
    step();
    TTimed timed;
    QEventLoop loop;
    QTimer::singleShot(0, &loop, [&] {
        timed.Ms = std::chrono::duration<double, std::milli>(TClock::now() - start).count();
        timed.CpuMs = CpuMs(RUSAGE_THREAD) - cpu;
        loop.quit();
    });
    loop.exec();
    return timed;
}

// Tells perf to start or stop recording and waits for its answer, when the
// bench runs under perf with NAVIGATE_PERF_CONTROL set.
void PerfControl(const char* command) {
    const char* fifos = std::getenv("NAVIGATE_PERF_CONTROL");
    if (!fifos)
        return;
    const std::string both = fifos;
    const std::size_t comma = both.find(',');
    const std::string ctl = both.substr(0, comma);
    const std::string ack = comma == std::string::npos ? std::string() : both.substr(comma + 1);
    if (FILE* out = std::fopen(ctl.c_str(), "w")) {
        std::fprintf(out, "%s\n", command);
        std::fclose(out);
    }
    if (ack.empty())
        return;
    if (FILE* in = std::fopen(ack.c_str(), "r")) {
        char answer[8];
        (void)std::fgets(answer, sizeof answer, in);
        std::fclose(in);
    }
}

// Timed, recorded by perf when it is the step NAVIGATE_PERF_STEP names
// ("enter" when unset).
TTimed Profiled(const char* name, const std::function<void()>& step) {
    const char* wanted = std::getenv("NAVIGATE_PERF_STEP");
    const bool recorded = std::string(wanted ? wanted : "enter") == name;
    if (recorded)
        PerfControl("enable");
    const TTimed timed = Timed(step);
    if (recorded)
        PerfControl("disable");
    return timed;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_window_navigate FOLDER FILES [FOLDERS]\n");
        return 2;
    }
    const std::string folder = std::filesystem::absolute(argv[1]).lexically_normal().string();
    const std::size_t files = std::stoul(argv[2]);
    const std::size_t folders = argc > 3 ? std::stoul(argv[3]) : 1'000'000;
    const std::int64_t bytes = MakeFolder(folder, files);
    const std::optional<std::string> driveForm = NativeToDriveForm(folder);
    if (!driveForm || (*driveForm)[0] != 'C') {
        std::fprintf(stderr, "%s is not on drive C:\n", folder.c_str());
        return 1;
    }
    const std::string home = MakeDataHome([&] { return DriveWith(folders, *driveForm, bytes); });
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    cq::app::SetProgramIdentity();
    cq::app::TProgram program;
    TFormMain& window = program.Window();
    window.show();
    while (window.FirstShowPending)
        QApplication::processEvents();
    QApplication::processEvents();

    const TTimed enter = Profiled("enter", [&] { window.EnterFolder(*driveForm); });
    const int rows = window.BarLV->topLevelItemCount();
    if (const char* shot = std::getenv("NAVIGATE_SHOT"))
        window.grab().save(QString::fromLocal8Bit(shot));
    const TTimed up = Profiled("up", [&] { window.acFolderUPExecute(); });
    // The parent's own rows replaced the folder's: the step did refill.
    const bool upShown = window.isVisible() && window.BarLV->topLevelItemCount() < rows;
    const TTimed again = Profiled("again", [&] { window.EnterFolder(*driveForm); });
    const bool shown = upShown && window.isVisible() &&
                       window.CurrentFolder().rfind(*driveForm, 0) == 0 &&
                       window.BarLV->topLevelItemCount() == rows;
    std::printf("%zu|%.0f|%.0f|%.0f|%d|%.0f|%.0f|%.0f\n", files, enter.Ms, up.Ms, again.Ms, rows,
                enter.CpuMs, up.CpuMs, again.CpuMs);
    std::filesystem::remove_all(home);
    return shown && rows >= static_cast<int>(files) ? 0 : 1;
}
