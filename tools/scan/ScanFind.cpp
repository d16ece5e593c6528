#include "tools/scan/ScanFind.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <atomic>
#include <ctime>
#include <new>
#include <ostream>
#include <thread>

#include "engine/AnalizeDisk.h"
#include "engine/NameMatcher.h"
#include "engine/WalkFind.h"
#include "platform/Console.h"
#include "platform/DriveForm.h"
#include "tools/scan/ReportText.h"
#include "tools/scan/ScanExit.h"
#include "tools/scan/ScanOptions.h"
#include "tools/scan/ScanReport.h"
#include "views/common/NumberText.h"

namespace {

TFindQuery Query(const TFindOptions& o, const std::string& driveForm) {
    TFindQuery q;
    q.Pattern = o.Pattern;
    q.Mode = o.Regex ? TFindMode::Regex : o.Contains ? TFindMode::Contains : TFindMode::Wildcard;
    q.IgnoreCase = o.IgnoreCase;
    q.Kinds = o.Type == 'f'   ? TFindKinds::Files
              : o.Type == 'd' ? TFindKinds::Folders
                              : TFindKinds::Both;
    q.Below = driveForm;
    if (!q.Below.empty() && q.Below.back() == '\\')
        q.Below.pop_back();
    q.MinSize = o.MinSize;
    q.OlderThanDays = o.OlderThanDays;
    q.Now = static_cast<std::int64_t>(std::time(nullptr));
    return q;
}

// The native path of a found item below the folder searched.
std::string NativeOf(const TFoundItem& item, const std::string& below, const std::string& native) {
    std::string path = native == "/" ? std::string() : native;
    std::string_view rest = std::string_view(item.Path).substr(below.size());
    while (!rest.empty()) {
        rest.remove_prefix(1);  // the backslash
        const std::size_t end = rest.find('\\');
        path += '/' + UnescapeName(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end);
    }
    return path;
}

std::string FoundTimeText(std::int64_t mtime) {
    if (mtime < 0)
        return "-               ";
    return QDateTime::fromSecsSinceEpoch(mtime).toString("yyyy-MM-dd HH:mm").toStdString();
}

void PrintText(const TFoundItems& found, const std::string& below, const std::string& native,
               std::ostream& out) {
    std::uint64_t files = 0, folders = 0;
    std::int64_t bytes = 0;
    for (const TFoundItem& item : found) {
        (item.Folder ? folders : files) += 1;
        bytes += item.Size;
        std::string mb = FormatMB(std::to_string(item.Size));
        out << std::string(mb.size() < 12 ? 12 - mb.size() : 0, ' ') << mb << " MB  "
            << FoundTimeText(item.MTime) << "  " << VisibleName(NativeOf(item, below, native))
            << (item.Folder ? "/" : "") << '\n';
    }
    out << "Found " << CountText(files, "file", "files") << " and "
        << CountText(folders, "folder", "folders") << ", " << FormatMB(std::to_string(bytes))
        << " MB, below " << VisibleName(native) << '\n';
}

void PrintJson(const TFoundItems& found, const std::string& below, const std::string& native,
               std::ostream& out) {
    QJsonObject report;
    PutJsonName(report, "path", native);
    QJsonArray items;
    std::int64_t bytes = 0;
    for (const TFoundItem& item : found) {
        QJsonObject e;
        PutJsonName(e, "path", NativeOf(item, below, native));
        e["type"] = item.Folder ? "folder" : "file";
        e["bytes"] = static_cast<qint64>(item.Size);
        e["allocated_bytes"] =
            item.Allocated < 0 ? QJsonValue() : QJsonValue(qint64(item.Allocated));
        e["mtime"] = item.MTime < 0 ? QJsonValue() : QJsonValue(qint64(item.MTime));
        items.append(e);
        bytes += item.Size;
    }
    report["found"] = items;
    report["bytes"] = static_cast<qint64>(bytes);
    out << QJsonDocument(report).toJson(QJsonDocument::Indented).toStdString();
}

}  // namespace

int RunScanFind(TAnalizeDisk& analyzer, const TScanOptions& options, const std::string& native,
                const std::string& driveForm, std::ostream& out, std::ostream& err) {
    const TFindQuery query = Query(options.Find, driveForm);
    const TNameMatcher matcher(query);
    if (!matcher.Error().empty()) {
        PrintMessage(err, matcher.Error());
        return TScanExit::kBadUsage;
    }
    std::atomic<bool> done{false};
    std::thread progress;
    if (StandardErrorIsTerminal())
        progress = std::thread(
            ShowProgressLine, "Finding",
            [&analyzer]() -> TWalkedCounts {
                return {analyzer.FoldersWalked(), analyzer.FilesWalked(), analyzer.BytesWalked()};
            },
            std::cref(done));
    TFoundItems found;
    std::string failure;
    try {
        found = FindByWalk(query, matcher, analyzer);
    } catch (const std::bad_alloc&) {
        failure = "there is not enough memory";
    } catch (const std::exception& e) {
        failure = e.what();
    }
    done = true;
    if (progress.joinable())
        progress.join();
    if (!failure.empty()) {
        PrintMessage(err, native + ": cannot be searched: " + failure);
        return TScanExit::kFailed;
    }
    if (analyzer.Cancel) {
        PrintMessage(err, "cancelled");
        return TScanExit::kCancelled;
    }
    if (options.Json)
        PrintJson(found, query.Below, native, out);
    else
        PrintText(found, query.Below, native, out);
    return 0;
}
