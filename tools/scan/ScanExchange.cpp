#include "tools/scan/ScanExchange.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <thread>

#include "engine/NcduExport.h"
#include "engine/ProgramVersion.h"
#include "platform/Console.h"
#include "tools/scan/ScanReport.h"
#include "views/common/NumberText.h"

namespace {

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void ShowExportProgress(const TExportProgress& progress, const std::atomic<bool>& done) {
    const auto start = std::chrono::steady_clock::now();
    while (!done.load()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const std::string bytes = FormatGB(std::to_string(progress.Bytes.load()));
        std::fprintf(stderr, "\rExporting: %llu folders, %llu files, %s, %s s ",
                     static_cast<unsigned long long>(progress.Folders.load()),
                     static_cast<unsigned long long>(progress.Files.load()), bytes.c_str(),
                     SecondsText(SecondsSince(start)).c_str());
    }
    std::fprintf(stderr, "\r\033[K");
}

}  // namespace

bool ExportScan(const std::string& native, const std::string& file, std::string& error) {
    TExportOutput out;
    if (!out.Open(file, error))
        return false;
    TExportProgress progress;
    TExportSettings settings;
    settings.NativeRoot = native;
    settings.ProgVer = kProgramVersion;
    settings.Timestamp = static_cast<std::int64_t>(std::time(nullptr));
    settings.Progress = &progress;
    std::atomic<bool> done{false};
    std::thread shown;
    if (StandardErrorIsTerminal())
        shown = std::thread(ShowExportProgress, std::cref(progress), std::cref(done));
    const bool written = ExportNcdu(settings, out, error) && out.Commit(error);
    done = true;
    if (shown.joinable())
        shown.join();
    return written;
}

bool ImportScan(const std::string& file, bool keepItems, TImportedScan& scan, double& seconds,
                std::string& error) {
    const auto start = std::chrono::steady_clock::now();
    if (!ReadImportedScan(file, kImportLetter, scan, error, nullptr, keepItems)) {
        error = VisibleName(error);
        return false;
    }
    seconds = SecondsSince(start);
    return true;
}
