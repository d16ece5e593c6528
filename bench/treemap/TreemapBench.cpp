// The treemap panel of the real main window (offscreen) over stored results
// of drive C: of FOLDERS folders (a tree of realistic fan-out, 1 000 000
// unless given): the time from View > Treemap until the panel has drawn
// the root's treemap (its first picture: a large drive's is drawn first
// without its smallest folders), and until it has drawn the whole picture,
// the time of a resize of the window until the panel has drawn again
// (median of 5), the time of one layout and drawing at an
// unchanged size (median of 5), the tiles drawn, and the resident memory
// the shown panel adds to the window without it. The drive is made and
// stored by a child process; its first-level folders are real folders of
// a temporary drive C:, so that the bar list and the treemap list them.
//
// Usage: bench_treemap [FOLDERS]   (in a process of its own per run)
// Prints FOLDERS|ms to show|ms to resize|ms to redraw|tiles|KiB above|the
// window thread's processor ms to show|to redraw (the work, apart from the
// waits of a busy machine)|ms to the whole picture|processor ms to it
#include <QApplication>
#include <QPaintEvent>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "app/main/FormMain.h"
#include "app/main/Program.h"
#include "app/treemap/TreemapPanel.h"
#include "app/treemap/TreemapView.h"
#include "bench/window/StoredDrive.h"
#include "platform/DriveTable.h"
#include "views/bar/PBExListview.h"
#include "views/tree/ShellListModel.h"

namespace {

using TClock = std::chrono::steady_clock;

double MsSince(TClock::time_point start) {
    return std::chrono::duration<double, std::milli>(TClock::now() - start).count();
}

// A tree of folders folders below "C:": 24 first-level folders, each
// further folder placed below a random earlier one at most eight levels
// deep, so that a few folders have many children; sizes are each folder's
// own random bytes plus everything below it.
TSyntheticDrive MakeTree(std::size_t folders, std::vector<std::string>& firstLevel) {
    std::mt19937_64 random(44);
    std::vector<std::string> paths{"C:"};
    std::vector<std::size_t> parent{0}, depth{0};
    const char* words[] = {"data", "Report",      "img",   "photo", "backup",  "src",
                           "lib",  "final draft", "Music", "video", "Invoice", "archive 2019"};
    for (std::size_t i = 1; i < folders; ++i) {
        std::size_t p = i <= 24 ? 0 : 1 + random() % (i - 1);
        while (depth[p] >= 8)
            p = parent[p];
        paths.push_back(paths[p] + "\\" + words[random() % 12] + " " + std::to_string(i));
        parent.push_back(p);
        depth.push_back(depth[p] + 1);
        if (p == 0)
            firstLevel.push_back(paths.back().substr(3));
    }
    std::vector<std::int64_t> size(folders);
    std::lognormal_distribution<double> own(std::log(2e6), 2.5);
    for (std::size_t i = folders; i-- > 0;) {
        size[i] += static_cast<std::int64_t>(own(random));
        if (i > 0)
            size[parent[i]] += size[i];
    }
    std::vector<std::size_t> order(folders);
    for (std::size_t i = 0; i < folders; ++i)
        order[i] = i;
    std::sort(order.begin() + 1, order.end(),
              [&](std::size_t a, std::size_t b) { return paths[a] < paths[b]; });
    TSyntheticDrive d;
    for (const std::size_t i : order) {
        d.Dirs.push_back(paths[i]);
        d.Sizes.push_back(std::to_string(size[i]));
        d.Percents.push_back(i == 0 ? "0"
                                    : std::to_string(100.0 * static_cast<double>(size[i]) /
                                                     static_cast<double>(size[parent[i]])));
    }
    return d;
}

// Runs the event loop until it is free again.
void Settle() {
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

// Notes when the view is first painted with a picture of tiles.
class TFirstPicture : public QObject {
  public:
    explicit TFirstPicture(TTreemapView& view) : view_(view) { view.installEventFilter(this); }
    bool Painted() const { return painted_; }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !painted_ && view_.Layout().Count() > 1)
            painted_ = true;  // painted as this event returns
        return false;
    }

  private:
    TTreemapView& view_;
    bool painted_ = false;
};

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const std::size_t folders = argc > 1 ? std::stoul(argv[1]) : 1'000'000;
    std::vector<std::string> firstLevel;
    const std::string home =
        MakeDataHome([folders, &firstLevel] { return MakeTree(folders, firstLevel); });
    MakeTree(25, firstLevel);  // the names only: the same first 24 folders
    const std::string drive = home + "/drive";
    for (const std::string& name : firstLevel)
        std::filesystem::create_directories(drive + "/" + name);
    TScopedDriveTable table(TDriveTable({TDrive{'C', drive}}));
    // The window starts in the working folder's drive.
    std::filesystem::current_path(drive);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    cq::app::SetProgramIdentity();
    cq::app::TProgram program;
    TFormMain& form = program.Window();
    form.resize(1200, 800);
    form.show();
    // Until the stored drive is shown (after the splash's pause).
    const TClock::time_point opened = TClock::now();
    while (form.Bar().Root() != "C:\\" || form.Store.GlobalDirs().size() < folders ||
           form.BarLV->topLevelItemCount() == 0) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        if (MsSince(opened) > 120'000)
            return 1;
    }
    Settle();
    TTreemapView& view = *form.Treemap().View();
    const long before = ResidentKiB();

    TFirstPicture first(view);
    TClock::time_point start = TClock::now();
    const double showStart = CpuMs(RUSAGE_THREAD);
    form.miTreemap->trigger();
    while (!first.Painted())
        QApplication::processEvents();
    const double show = MsSince(start);
    const double showCpu = CpuMs(RUSAGE_THREAD) - showStart;
    while (!view.Complete())
        QApplication::processEvents();
    view.repaint();
    const double whole = MsSince(start);
    const double wholeCpu = CpuMs(RUSAGE_THREAD) - showStart;
    Settle();
    const long above = ResidentKiB() - before;

    std::vector<double> resize, redraw, redrawCpu;
    for (int i = 0; i < 5; ++i) {
        start = TClock::now();
        form.resize(1200 + (i % 2 == 0 ? 60 : 0), 800 - (i % 2 == 0 ? 40 : 0));
        Settle();
        view.repaint();
        resize.push_back(MsSince(start));
    }
    for (int i = 0; i < 5; ++i) {
        start = TClock::now();
        const double cpu = CpuMs(RUSAGE_THREAD);
        view.Refresh();
        while (!view.Complete())
            QApplication::processEvents();
        view.repaint();
        redraw.push_back(MsSince(start));
        redrawCpu.push_back(CpuMs(RUSAGE_THREAD) - cpu);
    }
    std::printf("%zu|%.1f|%.1f|%.1f|%d|%ld|%.1f|%.1f|%.1f|%.1f\n", form.Store.GlobalDirs().size(),
                show, Median(resize), Median(redraw), view.Layout().Count(), above, showCpu,
                Median(redrawCpu), whole, wholeCpu);
    std::filesystem::remove_all(home);
    return form.Store.GlobalDirs().size() == folders && view.Layout().Count() > 100 ? 0 : 1;
}
