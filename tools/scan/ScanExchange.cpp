#include "tools/scan/ScanExchange.h"

#include <atomic>
#include <chrono>
#include <ctime>
#include <thread>

#include "engine/NcduExport.h"
#include "engine/ProgramVersion.h"
#include "engine/WalkThreads.h"
#include "platform/Console.h"
#include "tools/scan/ScanReport.h"
#include "views/common/NumberText.h"

namespace {

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TWalkedCounts Exported(const TExportProgress& progress) {
    return {progress.Folders.load(), progress.Files.load(), progress.Bytes.load()};
}

}  // namespace

bool ExportScan(const std::string& native, const std::string& file, bool compress,
                std::string& error, const std::atomic<bool>* cancel, const TExcludeRules* exclude) {
    TExportOutput out;
    if (!out.Open(file, error, compress))
        return false;
    TExportProgress progress;
    TExportSettings settings;
    settings.NativeRoot = native;
    settings.ProgVer = kProgramVersion;
    settings.Timestamp = static_cast<std::int64_t>(std::time(nullptr));
    settings.Progress = &progress;
    settings.Cancel = cancel;
    settings.Exclude = exclude;
    // Listed by as many threads as a scan of the folder would walk with.
    settings.Threads = WalkThreadsFor(native);
    std::atomic<bool> done{false};
    std::thread shown;
    if (StandardErrorIsTerminal())
        shown = std::thread(
            ShowProgressLine, "Exporting", [&progress] { return Exported(progress); },
            std::cref(done));
    const bool written = ExportNcdu(settings, out, error) && out.Commit(error);
    done = true;
    if (shown.joinable())
        shown.join();
    return written;
}

bool ImportScan(const std::string& file, bool keepItems, TImportedScan& scan, double& seconds,
                std::string& error) {
    const auto start = std::chrono::steady_clock::now();
    if (!ReadImportedScan(file, kImportLetter, scan, error, nullptr, keepItems))
        return false;
    seconds = SecondsSince(start);
    return true;
}
