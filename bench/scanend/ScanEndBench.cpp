// The end of a scan of drive C: of 1 000 000 folders in the real main window
// (offscreen), with stored results of C: of the same size: the time from the
// walk's lists being ready (the scan control handed them) until the views
// show them and the window answers input again (a zero timer started after
// the hand-off fires), and until the result files are stored. Both sets
// carry the extra lists every scan stores (allocated bytes, Discover data).
// The files written (the three lists, the extra files and the manifest) are
// compared byte for byte with those a plain save of the same lists over the
// same set before writes.
//
// Usage: bench_scan_end FOLDERS   (in a process of its own per run)
// Prints FOLDERS|MS_SHOWN|MS_STORED|IDENTICAL(1/0)
#include <stdlib.h>

#include <QApplication>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/main/FormMain.h"
#include "app/main/Program.h"
#include "app/scan/ScanControl.h"
#include "bench/SyntheticDrive.h"
#include "engine/ResultStore.h"
#include "engine/ScanThread.h"

namespace {

using TClock = std::chrono::steady_clock;

double MsSince(TClock::time_point start) {
    return std::chrono::duration<double, std::milli>(TClock::now() - start).count();
}

std::string NewFolder() {
    char name[] = "/tmp/cq-scan-end-XXXXXX";
    return std::string(mkdtemp(name)) + "/";
}

void SaveOrExit(const std::string& folder, const TSyntheticDrive& drive,
                const TExtraLists& extras) {
    TResultStore store(folder);
    store.SetFiles("C:");
    if (!store.SaveAnalizeData({drive.Dirs, drive.Sizes, drive.Percents, extras})) {
        std::fprintf(stderr, "cannot store the drive: %s\n", store.SaveError.c_str());
        std::exit(1);
    }
}

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool SameFiles(const std::string& a, const std::string& b) {
    for (const char* name :
         {"CDirs", "CDirSizes", "CPercents", "CDiskSizes", "CDiscover", "CSet"}) {
        const std::string left = FileText(a + name);
        if (left.empty() || left != FileText(b + name))
            return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const std::size_t folders = argc > 1 ? std::stoul(argv[1]) : 1'000'000;
    const std::string home = NewFolder();
    setenv("XDG_DATA_HOME", home.c_str(), 1);
    const std::string data = home + "cobaltquarry/";
    std::filesystem::create_directories(data);
    const TSyntheticDrive before = MakeSyntheticDrive(folders, 3);
    const TExtraLists beforeExtras = MakeSyntheticExtras(before, 3);
    SaveOrExit(data, before, beforeExtras);
    // What a plain save of the scan's lists over the same set writes, for
    // the comparison.
    const std::string reference = home + "reference/";
    std::filesystem::create_directories(reference);
    SaveOrExit(reference, before, beforeExtras);
    const TSyntheticDrive scanned = MakeSyntheticDrive(folders, 4);
    const TExtraLists scannedExtras = MakeSyntheticExtras(scanned, 4);
    SaveOrExit(reference, scanned, scannedExtras);

    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    cq::app::SetProgramIdentity();
    cq::app::TProgram program;
    TFormMain& window = program.Window();
    window.show();
    while (window.FirstShowPending)
        QApplication::processEvents();
    QApplication::processEvents();

    // As the scan thread hands them over: lists of their own.
    TScanResult result;
    result.Directory = "C:\\";
    result.Set = TStoredSet{scanned.Dirs, scanned.Sizes, scanned.Percents, scannedExtras};
    TScanControl& scan = window.Scan();
    scan.SetTeller([](const QString& text) {
        std::fprintf(stderr, "told: %s\n", text.toLocal8Bit().constData());
    });

    const TClock::time_point start = TClock::now();
    scan.OnAnalize(result);
    double shown = 0, stored = 0;
    std::size_t listed = 0;
    QTimer::singleShot(0, [&] {
        shown = MsSince(start);
        listed = window.Store.GlobalDirs().size();
        scan.WaitForSaveAndReport();
        stored = MsSince(start);
        QApplication::quit();
    });
    QApplication::exec();
    const bool same = SameFiles(data, reference);
    const bool identical = same && scan.Stored() && listed == folders;
    if (!identical)
        std::fprintf(stderr, "files the same: %d, stored: %d, folders shown: %zu\n", same,
                     scan.Stored(), listed);
    std::printf("%zu|%.0f|%.0f|%d\n", folders, shown, stored, identical ? 1 : 0);
    std::filesystem::remove_all(home);
    return identical ? 0 : 1;
}
