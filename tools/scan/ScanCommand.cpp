#include "tools/scan/ScanCommand.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <future>
#include <memory>
#include <new>
#include <ostream>
#include <thread>
#include <utility>

#include "engine/DiscoverKind.h"
#include "engine/DiskSizeList.h"
#include "engine/FanOutSink.h"
#include "engine/ResultStore.h"
#include "engine/SpaceFacts.h"
#include "platform/Console.h"
#include "platform/DriveForm.h"
#include "platform/DriveTable.h"
#include "platform/MountTable.h"
#include "platform/VirtualDrive.h"
#include "tools/scan/DuplicateReport.h"
#include "tools/scan/ReportText.h"
#include "tools/scan/ScanChanges.h"
#include "tools/scan/ScanExchange.h"
#include "tools/scan/ScanFind.h"
#include "tools/scan/ScanOptions.h"
#include "tools/scan/ScanPath.h"
#include "tools/scan/ScanReport.h"
#include "tools/scan/ScanSave.h"
#include "views/common/NumberText.h"

namespace {

// The letter a folder on no drive is scanned under; never shown.
constexpr char kOffDriveLetter = 'Z';

// The native folder of PATH and its drive form (empty for a readable
// folder on no drive: a USB stick, a network share), or a message saying
// why it cannot be scanned.
bool ResolvePath(const std::string& path, std::string& native, std::string& driveForm,
                 std::string& error) {
    const auto candidate = NativeArgument(path, error);
    if (!candidate)
        return false;
    const auto resolved = ResolvedNativePath(*candidate);
    const std::string named = PathInMessage(path);
    if (!resolved) {
        error = named + ": no such file or folder";
        return false;
    }
    if (!IsNativeFolder(*resolved)) {
        error = named + ": not a folder";
        return false;
    }
    if (TMountTable::FromSystem().OnKernelFileSystem(*resolved)) {
        error = named + ": a view of the kernel's state, not stored files (" + *resolved + ")";
        return false;
    }
    native = *resolved;
    const auto form = NativeToDriveForm(*resolved);
    driveForm = form ? *form : std::string();
    return true;
}

// The folders, files and bytes walked so far, for the progress line.
TWalkedCounts Walked(const TAnalizeDisk& analyzer) {
    return {analyzer.FoldersWalked(), analyzer.FilesWalked(), analyzer.BytesWalked()};
}

// The folder --out names, made with its parents when missing; false with
// the reason when it is not a folder or cannot be written to.
bool PrepareOutDir(const std::string& outDir, std::string& error) {
    std::string why;
    if (MakeWritableNativeFolder(outDir, why))
        return true;
    error = "--out " + outDir + ": " + why;
    return false;
}

bool WriteLists(const TStringList& dirs, const TStringList& sizes, const TStringList& percents,
                const std::string& outDir, std::string& error) {
    const std::string base = outDir + "/" + std::string(1, DriveLetterOf(dirs[0]));
    if (!WriteListFiles({{base + "Dirs", &dirs},
                         {base + "DirSizes", &sizes},
                         {base + "Percents", &percents}})) {
        error = outDir + ": cannot write the result lists";
        return false;
    }
    return true;
}

// --out's lists written on a thread of their own, started at once: their
// flushes wait on the disk while this thread makes the report. The lists
// must not change until Written() has answered.
class TListsInBackground {
  public:
    TListsInBackground(const TStringList& dirs, const TStringList& sizes,
                       const TStringList& percents, const std::string& outDir) {
        if (!outDir.empty())
            failure_ = std::async(std::launch::async, [&dirs, &sizes, &percents, outDir] {
                std::string error;
                WriteLists(dirs, sizes, percents, outDir, error);
                return error;
            });
    }
    // Whether the lists were written (true without --out); waits for them.
    bool Written(std::string& error) {
        if (!failure_.valid())
            return true;
        error = failure_.get();
        return error.empty();
    }

  private:
    std::future<std::string> failure_;  // its destructor waits, also when this thread throws
};

// A store that only holds the scan in memory: no data folder, no files. The
// set moves into it (a drive's lists are large).
std::unique_ptr<TResultStore> MemoryStore(TStoredSet scan) {
    auto store = std::make_unique<TResultStore>(std::string());
    store->ReplaceGlobal(std::move(scan));
    return store;
}

// The allocated bytes among a scan's extra lists; none when not known.
const TStringList* DiskSizesIn(const TExtraLists& extras) {
    const auto it = extras.find(kDiskSizesRole);
    return it == extras.end() ? nullptr : &it->second;
}

// What --largest and --types ask for, without the data yet.
TDiscoverReport DiscoverReport(const TScanOptions& options) {
    TDiscoverReport report;
    report.Largest = options.Largest;
    report.Types = options.Types;
    report.TypeFiles = options.TypeFiles;
    report.Old = options.Old;
    return report;
}

void PrintReport(const TScanReport& report, bool json, std::ostream& out) {
    if (json)
        PrintScanJson(report, out);
    else
        PrintScanText(report, out);
}

// While it lives, Ctrl+C and SIGTERM end the run at once (Console.h): for
// steps that read, or write only to standard output.
class TExitAtOnce {
  public:
    TExitAtOnce() { ExitAtOnceOnInterrupt(true); }
    ~TExitAtOnce() { ExitAtOnceOnInterrupt(false); }
    TExitAtOnce(const TExitAtOnce&) = delete;
    TExitAtOnce& operator=(const TExitAtOnce&) = delete;
};

}  // namespace

int TScanCommand::RunStored(const TScanOptions& options, std::ostream& out, std::ostream& err) {
    const TExitAtOnce readOnly;
    std::string native, driveForm, error;
    if (!ResolvePath(options.Path, native, driveForm, error)) {
        PrintMessage(err, error);
        return kBadUsage;
    }
    if (driveForm.empty()) {
        PrintMessage(err, options.Path + ": not on a fixed drive, so it has no stored results");
        return kBadUsage;
    }
    TResultStore store;
    store.SetFiles(driveForm);
    if (!store.AnalizeFiExists() || !store.LoadGlobal()) {
        PrintMessage(err, options.Path + ": no stored results of its drive" +
                              (store.LoadNotice.empty() ? "" : " (" + store.LoadNotice + ")"));
        return kBadUsage;
    }
    // An extra file damaged, missing or changed outside the program is told
    // here: the report alone would only say its data is not known.
    if (!store.LoadNotice.empty())
        PrintMessage(err, store.LoadNotice);
    TDiscoverReport report = DiscoverReport(options);
    const auto lines = store.GlobalExtras().find(kDiscoverRole);
    ReadDiscoverLines(lines == store.GlobalExtras().end() ? nullptr : &lines->second, report);
    std::string folder = driveForm;
    if (!folder.empty() && folder.back() == '\\')
        folder.pop_back();
    report.RootDriveForm = folder.substr(0, 2);
    const auto root = DriveFormToNative(report.RootDriveForm);
    report.RootNative = root ? *root : std::string();
    if (folder.size() > 2)
        report.Below = folder;
    PrintStoredDiscover(native, folder, report, options.Json, out);
    return 0;
}

int TScanCommand::RunImport(const TScanOptions& options, std::ostream& out, std::ostream& err) {
    std::string error;
    if (!options.OutDir.empty() && !PrepareOutDir(options.OutDir, error)) {
        PrintMessage(err, error);
        return kFailed;
    }
    TImportedScan scan;
    double seconds = 0;
    // Only the pie lists the scan's folders (as if they were a drive here).
    const bool pie = !options.PieFile.empty() || !options.TreemapFile.empty();
    // A file missing, unreadable or not an export: the input is wrong.
    // Nothing is written while it is read, so an interrupt ends it at once,
    // even in the middle of a huge or endless input.
    auto reading = std::make_unique<TExitAtOnce>();
    if (!ImportScan(options.ImportFile, pie, scan, seconds, error)) {
        PrintMessage(err, error);
        return kBadUsage;
    }
    reading.reset();
    std::unique_ptr<TScopedVirtualDrive> drive;
    if (pie)
        drive = std::make_unique<TScopedVirtualDrive>(*scan.Drive);
    TNcduImport& lists = scan.Result;
    const TStringList* disk = DiskSizesIn(lists.Extras);
    if (options.DiskUsage && disk == nullptr)
        PrintMessage(err, options.ImportFile +
                              ": the export gives no allocated sizes (dsize); the report shows "
                              "file sizes");
    TScanReport report =
        MakeScanReport(lists.Dirs, lists.DirSizes, options.Top, disk, options.DiskUsage);
    report.NativePath = lists.RootName;
    report.DriveForm.clear();
    report.Seconds = seconds;
    report.Discover = DiscoverReport(options);
    report.Discover.Known = true;
    report.Discover.Data = std::move(lists.Discover);
    report.Discover.RootDriveForm = lists.Dirs.empty() ? "" : std::string(lists.Dirs[0]);
    report.Discover.RootNative = lists.RootName;
    int status = 0;
    auto fail = [&](const std::string& message) {
        PrintMessage(err, message);
        status = kFailed;
    };
    if (!options.OutDir.empty() &&
        !WriteLists(lists.Dirs, lists.DirSizes, lists.Percents, options.OutDir, error))
        fail(error);
    if (pie) {
        const auto store =
            MemoryStore(TStoredSet{std::move(lists.Dirs), std::move(lists.DirSizes),
                                   std::move(lists.Percents), std::move(lists.Extras)});
        store->DiskUsage = options.DiskUsage;
        // The imported folder is drive Z: only inside this run: a message
        // names it by the export's own path.
        const std::string root = std::string(1, kImportLetter) + ":\\";
        auto failAt = [&] {
            fail(error.rfind(root, 0) == 0 ? lists.RootName + error.substr(root.size() - 1)
                                           : error);
        };
        if (!options.PieFile.empty() && !pictures_->DrawPie(*store, root, options, error))
            failAt();
        if (!options.TreemapFile.empty() && !pictures_->DrawTreemap(*store, root, options, error))
            failAt();
    }
    PrintReport(report, options.Json, out);
    return status;
}

std::string TScanCommand::ExecuteCarrying() {
    try {
        analyzer_.Execute();
    } catch (const std::bad_alloc&) {
        return "there is not enough memory";
    } catch (const std::exception& e) {
        return e.what();
    }
    return {};
}

int TScanCommand::Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    TScanOptions options;
    std::string error;
    if (!ParseScanOptions(args, options, error)) {
        PrintUsageError(err, error);
        return kBadUsage;
    }
    if (options.Help) {
        out << ScanUsage();
        return 0;
    }
    if (options.Version) {
        out << ScanVersion() << "\n";
        return 0;
    }
    if ((!options.PieFile.empty() || !options.TreemapFile.empty()) && !pictures_) {
        // Nothing has been read or written yet: the program handed to
        // starts the run afresh.
        if (!pictureHandOff_) {
            PrintMessage(err, "this program draws no pictures");
            return kFailed;
        }
        return pictureHandOff_();
    }
    if (!options.ImportFile.empty())
        return RunImport(options, out, err);
    if (options.Stored)
        return RunStored(options, out, err);
    if (options.Changes) {
        const TExitAtOnce readOnly;
        return RunScanChanges({options.Path, options.Since, options.Top, options.Json}, out, err);
    }
    std::string native, driveForm;
    if (!ResolvePath(options.Path, native, driveForm, error)) {
        PrintMessage(err, error);
        return kBadUsage;
    }
    if (!analyzer_.Exclude.Set(options.Exclude, options.ExcludeCaches, error)) {
        PrintMessage(err, error);
        return kBadUsage;
    }
    if (options.Duplicates)
        return RunDuplicateReport(native, options.MinSize, options.Json, analyzer_.Cancel, out,
                                  err);
    if (!options.ExportFile.empty()) {
        // A file is written under another name until it is whole, so the
        // walk stops at the flag and leaves nothing; standard output may
        // block on a reader that has stopped, so there it ends at once.
        std::unique_ptr<TExitAtOnce> toOutput;
        if (options.ExportFile == "-")
            toOutput = std::make_unique<TExitAtOnce>();
        if (ExportScan(native, options.ExportFile, options.Zstd, error, &analyzer_.Cancel,
                       &analyzer_.Exclude))
            return 0;
        if (analyzer_.Cancel) {
            PrintMessage(err, "cancelled");
            return kCancelled;
        }
        PrintMessage(err, error);
        return kFailed;
    }
    // A folder on no drive is walked as the root of a drive of its own for
    // this run; the results then belong to no drive, so nothing is stored.
    std::unique_ptr<TScopedDriveTable> offDrive;
    if (driveForm.empty()) {
        if (options.Save || !options.OutDir.empty()) {
            PrintMessage(err, options.Path + ": not on a fixed drive (" + native +
                                  "); --save and --out need a drive");
            return kBadUsage;
        }
        offDrive = std::make_unique<TScopedDriveTable>(TDriveTable({{kOffDriveLetter, native}}));
        driveForm = std::string(1, kOffDriveLetter) + ":";
    }

    if (options.Find.Wanted)
        return RunScanFind(analyzer_, options, native, driveForm, out, err);

    // A folder the lists cannot go to is found out now, not after a long scan.
    if (!options.OutDir.empty() && !PrepareOutDir(options.OutDir, error)) {
        PrintMessage(err, error);
        return kFailed;
    }

    analyzer_.Directory = driveForm.find('\\') == std::string::npos ? driveForm + "\\" : driveForm;
    analyzer_.Recurse = true;
    // Where the space would come back from, beside the other collectors.
    if (options.DiskUsage)
        analyzer_.MakeFileSink = TFanOutSink::Over(
            {analyzer_.MakeFileSink, [] { return std::make_unique<TSpaceFactsSink>(); }});

    std::atomic<bool> done{false};
    std::thread progress;
    if (StandardErrorIsTerminal())
        progress = std::thread(
            ShowProgressLine, "Scanning", [this] { return Walked(analyzer_); }, std::cref(done));
    const auto start = std::chrono::steady_clock::now();
    const std::string failure = ExecuteCarrying();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    done = true;
    if (progress.joinable())
        progress.join();
    if (!failure.empty()) {
        PrintMessage(err, native + ": cannot be scanned: " + failure);
        return kFailed;
    }

    if (analyzer_.Cancel) {
        PrintMessage(err, "cancelled");
        return kCancelled;
    }

    TListsInBackground lists(analyzer_.Dirs(), analyzer_.DirSizes(), analyzer_.Percents(),
                             options.OutDir);
    const std::unique_ptr<TFileSink> sink = analyzer_.TakeFileSink();
    analyzer_.MakeFileSink = {};
    TExtraLists extras = analyzer_.TakeExtras();
    // The sink was taken first: the lists its collectors store come from it.
    if (sink)
        sink->AddExtraLists(extras);
    // The report first: after it the lists may be handed on instead of copied.
    TScanReport report = MakeScanReport(analyzer_.Dirs(), analyzer_.DirSizes(), options.Top,
                                        DiskSizesIn(extras), options.DiskUsage);
    if (const auto* space = TFanOutSink::Find<TSpaceFactsSink>(sink.get()))
        report.Space = space->Facts();
    report.NativePath = native;
    report.Seconds = seconds;
    if (offDrive)
        report.DriveForm.clear();
    report.Discover = DiscoverReport(options);
    if (report.Discover.Wanted()) {
        const auto lines = extras.find(kDiscoverRole);
        ReadDiscoverLines(lines == extras.end() ? nullptr : &lines->second, report.Discover);
        report.Discover.RootDriveForm = std::string(analyzer_.Dirs()[0]);
        report.Discover.RootNative = native;
    }

    // Every output asked for is attempted; any that fails makes the run fail.
    int status = 0;
    auto fail = [&](const std::string& message) {
        PrintMessage(err, message);
        status = kFailed;
    };
    if (!lists.Written(error))
        fail(error);

    // The pie shows what was stored when the scan was merged into the drive's
    // results, else the scan itself.
    std::unique_ptr<TResultStore> store;
    bool merged = false;
    // The analyzer's lists and the extra lists travel on as one set.
    TStoredSet scan{std::move(analyzer_.Dirs()), std::move(analyzer_.DirSizes()),
                    std::move(analyzer_.Percents()), std::move(extras)};
    if (options.Save) {
        store = std::make_unique<TResultStore>();
        const TScanSaveOutcome saved = SaveScanResults(*store, scan);
        const bool stored =
            saved.Status == TScanSaveStatus::Replaced || saved.Status == TScanSaveStatus::Merged;
        if (!stored)
            fail(saved.Message);
        else if (!saved.Message.empty())
            PrintMessage(err, saved.Message);
        merged = saved.Status == TScanSaveStatus::Merged;
    }
    if (!options.PieFile.empty() || !options.TreemapFile.empty()) {
        if (!merged)
            store = MemoryStore(std::move(scan));
        store->DiskUsage = options.DiskUsage;
        if (!options.PieFile.empty() &&
            !pictures_->DrawPie(*store, analyzer_.Directory, options, error))
            fail(error);
        if (!options.TreemapFile.empty() &&
            !pictures_->DrawTreemap(*store, analyzer_.Directory, options, error))
            fail(error);
    }
    PrintReport(report, options.Json, out);
    if (finished_)
        finished_(status);
    return status;
}
