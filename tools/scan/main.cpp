// cobaltquarry-scan: measures one folder tree from the command line.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <thread>

#include "engine/AnalizeDisk.h"
#include "platform/Console.h"
#include "platform/DriveForm.h"
#include "tools/scan/ScanOptions.h"
#include "tools/scan/ScanReport.h"

namespace {

constexpr int kBadUsage = 2;
constexpr int kCancelled = 130;

// The drive form of PATH, or a message saying why there is none.
bool ResolvePath(const std::string& path, std::string& native, std::string& driveForm,
                 std::string& error) {
    std::string candidate = path;
    if (DriveLetterOf(path)) {
        const auto n = DriveFormToNative(path);
        if (!n) {
            error = path + ": not a path on any drive";
            return false;
        }
        candidate = *n;
    }
    const auto resolved = ResolvedNativePath(candidate);
    if (!resolved) {
        error = path + ": no such file or folder";
        return false;
    }
    if (!IsNativeFolder(*resolved)) {
        error = path + ": not a folder";
        return false;
    }
    const auto form = NativeToDriveForm(*resolved);
    if (!form) {
        error = path + ": not on a fixed drive (" + *resolved + ")";
        return false;
    }
    native = *resolved;
    driveForm = *form;
    return true;
}

// Shows the folders walked so far on standard error until Done is set.
void ShowProgress(const TAnalizeDisk& analyzer, const std::atomic<bool>& done) {
    const auto start = std::chrono::steady_clock::now();
    while (!done.load()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const double s =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::fprintf(stderr, "\rScanning: %llu folders, %.1f s ",
                     static_cast<unsigned long long>(analyzer.FoldersWalked()), s);
    }
    std::fprintf(stderr, "\r\033[K");
}

bool WriteLists(const TAnalizeDisk& a, const std::string& outDir, std::string& error) {
    const std::string base = outDir + "/" + std::string(1, DriveLetterOf(a.Dirs()[0]));
    if (!IsNativeFolder(outDir)) {
        error = outDir + ": not a folder";
        return false;
    }
    if (!WriteListFile(base + "Dirs", a.Dirs()) ||
        !WriteListFile(base + "DirSizes", a.DirSizes()) ||
        !WriteListFile(base + "Percents", a.Percents())) {
        error = outDir + ": cannot write the result lists";
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    TScanOptions options;
    std::string error;
    if (!ParseScanOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::cerr << "cobaltquarry-scan: " << error << "\n" << ScanUsage();
        return kBadUsage;
    }
    std::string native, driveForm;
    if (!ResolvePath(options.Path, native, driveForm, error)) {
        std::cerr << "cobaltquarry-scan: " << error << "\n";
        return kBadUsage;
    }

    TAnalizeDisk analyzer;
    analyzer.Directory = driveForm.find('\\') == std::string::npos ? driveForm + "\\" : driveForm;
    analyzer.Recurse = true;
    CancelOnInterrupt(&analyzer.Cancel);

    std::atomic<bool> done{false};
    std::thread progress;
    if (StandardErrorIsTerminal())
        progress = std::thread(ShowProgress, std::cref(analyzer), std::cref(done));
    const auto start = std::chrono::steady_clock::now();
    analyzer.Execute();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    done = true;
    if (progress.joinable())
        progress.join();

    if (analyzer.Cancel) {
        std::cerr << "cobaltquarry-scan: cancelled\n";
        return kCancelled;
    }
    if (!options.OutDir.empty() && !WriteLists(analyzer, options.OutDir, error)) {
        std::cerr << "cobaltquarry-scan: " << error << "\n";
        return 1;
    }
    TScanReport report = MakeScanReport(analyzer.Dirs(), analyzer.DirSizes(), options.Top);
    report.NativePath = native;
    report.Seconds = seconds;
    if (options.Json)
        PrintScanJson(report, std::cout);
    else
        PrintScanText(report, std::cout);
    return 0;
}
