#include "tools/scan/ScanChanges.h"

#include <ostream>

#include "engine/NumberText.h"
#include "engine/ResultChanges.h"
#include "engine/ResultStore.h"
#include "platform/Console.h"
#include "platform/DriveForm.h"
#include "tools/scan/ChangesReport.h"
#include "tools/scan/ReportText.h"
#include "tools/scan/ScanExit.h"
#include "tools/scan/ScanPath.h"

namespace {

// The newest moment a --since date stands for, in seconds since 1970 UTC.
bool ReadSinceDate(std::string text, std::int64_t& time) {
    if (!text.empty() && text.back() == 'Z') {
        text.pop_back();
    }
    if (text.size() > 10 && (text[10] == 'T' || text[10] == ' ')) {
        const std::string date = text.substr(0, 10), clock = text.substr(11);
        return TScanHistory::UtcTime(date, "yyyy-MM-dd", clock, "HH:mm:ss", time) ||
               TScanHistory::UtcTime(date, "yyyy-MM-dd", clock, "HH:mm", time);
    }
    // A day means all of it: a set saved that afternoon is "since" that day.
    return TScanHistory::UtcTime(text, "yyyy-MM-dd", "23:59:59", "HH:mm:ss", time);
}

// The folder's drive form as the lists keep it ("C:" for a root).
bool FolderOf(const std::string& path, std::string& native, std::string& driveForm,
              std::string& error) {
    const auto argument = NativeArgument(path, error);
    if (!argument) {
        return false;
    }
    if (DriveLetterOf(path)) {
        native = *argument;
    } else {
        const auto resolved = ResolvedNativePath(path);
        if (!resolved) {
            error = path + ": no such file or folder";
            return false;
        }
        native = *resolved;
    }
    const auto form = NativeToDriveForm(native);
    if (!form) {
        error = path + ": not on a fixed drive, so it has no stored results";
        return false;
    }
    driveForm = *form;
    if (driveForm.size() > 2 && driveForm.back() == '\\') {
        driveForm.pop_back();
    }
    return true;
}

}  // namespace

int ChooseKeptSet(const std::vector<THistoryEntry>& entries, const std::string& since,
                  std::string& error) {
    std::int64_t number = 0, time = 0;
    if (since.empty()) {
        number = 1;
    } else if (since.find('-') == std::string::npos && TryTextToInt64(since, number)) {
        if (number < 1) {
            error = "--since counts kept results from 1 (the newest)";
            return -1;
        }
    } else if (!ReadSinceDate(since, time)) {
        error = "--since needs a count or a date such as 2026-12-01 or 2026-12-01T08:30";
        return -1;
    }
    if (number > 0) {
        if (static_cast<std::uint64_t>(number) > entries.size()) {
            error = entries.size() == 1
                        ? std::string("there is only 1 kept result")
                        : "there are only " + std::to_string(entries.size()) + " kept results";
            return -1;
        }
        return static_cast<int>(number - 1);
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].Time <= time) {
            return static_cast<int>(i);
        }
    }
    error = "no results were kept on or before " + since;
    return -1;
}

int RunScanChanges(const TChangesRequest& request, std::ostream& out, std::ostream& err) {
    // Whatever stops the comparison is in its input (the folder, the stored
    // or the kept results): nothing is written.
    auto fail = [&err](const std::string& message) {
        PrintMessage(err, message);
        return TScanExit::kBadUsage;
    };
    std::string native, folder, error;
    if (!FolderOf(request.Path, native, folder, error)) {
        return fail(error);
    }
    const char drive = folder[0];
    const std::string driveName = std::string(1, drive) + ":";
    TResultStore store;
    store.SetFiles(folder);
    if (!store.AnalizeFiExists()) {
        return fail("drive " + driveName + " has no stored results" +
                    (store.DataFolder.empty() ? "" : " in " + store.DataFolder) +
                    "; scan the drive root with --save first");
    }
    if (!store.LoadGlobal()) {
        return fail(store.LoadNotice);
    }
    if (!store.LoadNotice.empty()) {
        PrintMessage(err, store.LoadNotice);
    }

    const TScanHistory history(store.DataFolder);
    const std::vector<THistoryEntry> entries = history.Entries(drive);
    if (entries.empty()) {
        return fail("no earlier results of drive " + driveName +
                    " are kept yet: they are kept when a scan of the whole drive "
                    "replaces them (the window's scan, or --save of the drive root)");
    }
    int chosen = ChooseKeptSet(entries, request.Since, error);
    if (chosen < 0) {
        return fail(error);
    }
    // A damaged set is told and the next older one taken instead.
    THistorySnapshot kept;
    std::string message;
    while (static_cast<std::size_t>(chosen) < entries.size() &&
           !history.Load(entries[static_cast<std::size_t>(chosen)], kept, message)) {
        PrintMessage(err, message);
        ++chosen;
    }
    if (static_cast<std::size_t>(chosen) == entries.size()) {
        return fail("no usable kept results of drive " + driveName + " to compare with");
    }

    const TResultChanges changes = CompareResults(store.GlobalDirs(), store.GlobalDirSizes(), kept);
    TChangesReport report;
    if (!MakeChangesReport(store.GlobalDirs(), changes, folder, request.Top, report)) {
        return fail(request.Path + " is not in the stored results of drive " + driveName);
    }
    report.NativePath = native;
    report.DriveForm = folder;
    report.KeptName = entries[static_cast<std::size_t>(chosen)].Name;
    report.KeptTime = kept.Time;
    if (request.Json) {
        PrintChangesJson(report, out);
    } else {
        PrintChangesText(report, out);
    }
    return 0;
}
