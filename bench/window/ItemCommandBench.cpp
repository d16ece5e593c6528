// An item command (Move to Trash of a file) in the real main window
// (offscreen) with the stored results of drive C: holding many folders, run
// as the menu runs it after its question: how long the window's event loop
// is blocked at most from the command until its change is stored, and the
// time until it is stored. Run twice on fresh stored drives: with the
// change stored behind the views, and stored at once on the window's thread
// (links without followBehind), in the same run.
//
// Usage: bench_window_item [FOLDERS]
// Prints FOLDERS|way|ms the longest block|ms until stored|stored as a scan
// would (1/0)
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/main/FormMain.h"
#include "app/main/Program.h"
#include "app/scan/ScanControl.h"
#include "app/shell/ItemContextMenu.h"
#include "bench/window/StoredDrive.h"
#include "platform/DriveForm.h"

namespace {

using TClock = std::chrono::steady_clock;
constexpr std::int64_t kFileBytes = 1 << 20;

// A real folder on drive C: with one file of kFileBytes (sparse).
void MakeVictim(const std::string& folder) {
    std::filesystem::create_directories(folder);
    const std::string path = folder + "/victim.dat";
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ftruncate(fd, kFileBytes) != 0) {
        std::perror(path.c_str());
        std::exit(1);
    }
    close(fd);
}

struct TRun {
    double LongestMs = 0, StoredMs = 0;
    bool Stored = false;
};

// The longest gap between ticks of a 1 ms timer while the command runs and
// its save goes on, and the time until nothing is being saved.
TRun Measure(TFormMain& window, const std::string& native, bool behind) {
    TItemMenuLinks links = window.ItemLinks();
    if (!behind)
        links.followBehind = nullptr;
    TRun run;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        run.LongestMs = std::max(run.LongestMs, sinceTick.nsecsElapsed() / 1e6);
        sinceTick.restart();
    });
    const TClock::time_point start = TClock::now();
    sinceTick.start();
    ticker.start();
    // The command, posted so that the ticker sees the loop it blocks.
    QTimer::singleShot(0, [&] {
        const TFollowedAction done = TrashFollowed(native);
        FollowAndNote(links, ItemVerb::kDelete, done);
        if (links.rereadAndRebuild)
            links.rereadAndRebuild();
    });
    QApplication::processEvents();
    while (TClock::now() - start < std::chrono::milliseconds(20) || window.Scan().Saving())
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    run.StoredMs = std::chrono::duration<double, std::milli>(TClock::now() - start).count();
    ticker.stop();
    run.Stored = !window.Store.ListsUnsaved() && window.Store.SaveError.empty();
    return run;
}

}  // namespace

int main(int argc, char** argv) {
    const std::size_t folders = argc > 1 ? std::stoul(argv[1]) : 1'000'000;
    char name[] = "/tmp/cq-item-XXXXXX";
    const std::string root = mkdtemp(name);
    const std::string folder = root + "/work";
    const std::optional<std::string> driveForm = NativeToDriveForm(folder);
    if (!driveForm || (*driveForm)[0] != 'C') {
        std::fprintf(stderr, "%s is not on drive C:\n", folder.c_str());
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    cq::app::SetProgramIdentity();
    bool allStored = true;
    for (const bool behind : {true, false}) {
        MakeVictim(folder);
        const std::string home =
            MakeDataHome([&] { return DriveWith(folders, *driveForm, kFileBytes); });
        TRun run;
        {
            cq::app::TProgram program;
            TFormMain& window = program.Window();
            window.show();
            while (window.FirstShowPending)
                QApplication::processEvents();
            window.EnterFolder(*driveForm);
            QApplication::processEvents();
            run = Measure(window, folder + "/victim.dat", behind);
        }
        std::printf("%zu|%s|%.0f|%.0f|%d\n", folders, behind ? "behind the views" : "at once",
                    run.LongestMs, run.StoredMs, run.Stored ? 1 : 0);
        allStored = allStored && run.Stored;
        std::filesystem::remove_all(home);
    }
    std::filesystem::remove_all(root);
    return allStored ? 0 : 1;
}
