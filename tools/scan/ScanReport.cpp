#include "tools/scan/ScanReport.h"

#include <QByteArray>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <memory>
#include <ostream>
#include <thread>

#include "engine/EachAtOnce.h"
#include "engine/NumberText.h"
#include "platform/AtomicFile.h"
#include "platform/DriveForm.h"
#include "tools/scan/ReportText.h"
#include "views/common/NumberText.h"

namespace {

constexpr int kBarWidth = 30;

std::int64_t ReadSize(std::string_view text) {
    std::int64_t v = 0;
    return TryTextToInt64(text, v) ? v : 0;
}

}  // namespace

TScanReport MakeScanReport(const TStringList& dirs, const TStringList& sizes, int top,
                           const TStringList* disk, bool diskUsage) {
    TScanReport r;
    r.Folders = dirs.size();
    if (dirs.empty())
        return r;
    if (disk != nullptr && disk->size() != dirs.size())
        disk = nullptr;
    r.DiskUsage = diskUsage && disk != nullptr;
    r.DriveForm = dirs[0];
    r.TotalBytes = ReadSize(sizes[0]);
    r.TotalAllocated = disk != nullptr ? ReadSize((*disk)[0]) : -1;
    const std::int64_t whole = r.DiskUsage ? r.TotalAllocated : r.TotalBytes;
    const std::string prefix = std::string(dirs[0]) + "\\";
    for (size_t i = 1; i < dirs.size(); ++i) {
        const std::string_view d = dirs[i];
        if (d.compare(0, prefix.size(), prefix) != 0 ||
            d.find('\\', prefix.size()) != std::string::npos)
            continue;
        TScanSubfolder s;
        s.Name = UnescapeName(d.substr(prefix.size()));
        s.Bytes = ReadSize(sizes[i]);
        s.Allocated = disk != nullptr ? ReadSize((*disk)[i]) : -1;
        const std::int64_t shown = r.DiskUsage ? s.Allocated : s.Bytes;
        s.Share = whole > 0 ? 100.0 * static_cast<double>(shown) / whole : 0;
        r.Largest.push_back(std::move(s));
    }
    const bool byDisk = r.DiskUsage;
    std::stable_sort(r.Largest.begin(), r.Largest.end(),
                     [byDisk](const TScanSubfolder& a, const TScanSubfolder& b) {
                         return byDisk ? a.Allocated > b.Allocated : a.Bytes > b.Bytes;
                     });
    if (static_cast<int>(r.Largest.size()) > top)
        r.Largest.resize(top);
    return r;
}

std::string TotalSizeText(std::int64_t bytes) {
    constexpr std::int64_t kGB = std::int64_t(1) << 30;
    const std::string text = std::to_string(bytes);
    return bytes < kGB ? FormatMB(text) + " MB" : FormatGB(text);
}

std::string SecondsText(double seconds) {
    // to_chars ignores the locale: the point stays a point even after a GUI
    // application has taken over the user's number settings.
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, seconds, std::chars_format::fixed, 2);
    return std::string(buf, r.ptr);
}

// "4.0 GB (4294967296 bytes)"
std::string BytesAndUnit(std::int64_t bytes) {
    return TotalSizeText(bytes) + " (" + std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes") +
           ")";
}

// Under Disk usage: the file sizes beside the allocated bytes, and where
// the space would come back from.
void PrintSpaceLines(const TScanReport& r, std::ostream& out) {
    out << "File size: " << BytesAndUnit(r.TotalBytes) << "\n";
    if (!r.Space)
        return;
    out << "Shared with hard links outside it: " << BytesAndUnit(r.Space->Shared) << "\n";
    out << "Left out by sparse files: " << BytesAndUnit(r.Space->Sparse) << "\n";
}

void PrintScanText(const TScanReport& r, std::ostream& out) {
    out << VisibleName(r.NativePath);
    if (!r.DriveForm.empty())
        out << "  (" << VisibleName(r.DriveForm) << ")";
    out << "\n";
    out << (r.DiskUsage ? "Allocated: " : "Total: ")
        << BytesAndUnit(r.DiskUsage ? r.TotalAllocated : r.TotalBytes) << " in "
        << CountText(r.Folders, "folder", "folders") << ", scanned in " << SecondsText(r.Seconds)
        << " s\n";
    if (r.DiskUsage)
        PrintSpaceLines(r, out);
    if (!r.Largest.empty())
        out << "Largest subfolders:\n";
    for (const TScanSubfolder& s : r.Largest) {
        const int filled =
            std::clamp(static_cast<int>(s.Share / 100.0 * kBarWidth + 0.5), 0, kBarWidth);
        const std::string mb =
            FormatMB(std::to_string(r.DiskUsage ? s.Allocated : s.Bytes)) + " MB";
        const std::string share = FormatOneDecimal(s.Share) + "%";
        out << std::string(mb.size() < 12 ? 12 - mb.size() : 0, ' ') << mb
            << std::string(share.size() < 8 ? 8 - share.size() : 0, ' ') << share << "  "
            << std::string(filled, '#') << std::string(kBarWidth - filled, '.') << "  "
            << VisibleName(s.Name) << '\n';
    }
    PrintDiscoverText(r.Discover, out);
}

void PrintScanJson(const TScanReport& r, std::ostream& out) {
    QJsonObject o;
    PutJsonName(o, "path", r.NativePath);
    if (r.DriveForm.empty())
        o["drive_form"] = QJsonValue::Null;
    else
        PutJsonName(o, "drive_form", r.DriveForm);
    o["total_bytes"] = static_cast<qint64>(r.TotalBytes);
    // Both sizes always; which one orders and shares is told.
    o["allocated_bytes"] =
        r.TotalAllocated < 0 ? QJsonValue() : QJsonValue(static_cast<qint64>(r.TotalAllocated));
    o["disk_usage"] = r.DiskUsage;
    if (r.Space) {
        o["shared_bytes"] = static_cast<qint64>(r.Space->Shared);
        o["sparse_bytes"] = static_cast<qint64>(r.Space->Sparse);
    }
    o["folders"] = static_cast<qint64>(r.Folders);
    o["seconds"] = r.Seconds;
    QJsonArray largest;
    for (const TScanSubfolder& s : r.Largest) {
        QJsonObject e;
        PutJsonName(e, "name", s.Name);
        e["bytes"] = static_cast<qint64>(s.Bytes);
        e["allocated_bytes"] =
            s.Allocated < 0 ? QJsonValue() : QJsonValue(static_cast<qint64>(s.Allocated));
        e["share"] = s.Share;
        largest.append(e);
    }
    o["largest"] = largest;
    PutDiscoverJson(r.Discover, o);
    out << QJsonDocument(o).toJson(QJsonDocument::Indented).toStdString();
}

namespace {

// The lines of one list in its temporary file, flushed to the disk.
bool WriteAndFlush(TAtomicFile& file, const TStringList& lines) noexcept {
    try {
        if (!file.Open())
            return false;
        for (std::string_view l : lines)
            if (!file.Write(l) || !file.Write("\r\n"))
                return false;
        return file.Finish();
    } catch (...) {
        return false;  // memory ran out: on a helper thread it would end the program
    }
}

}  // namespace

bool WriteListFiles(const std::vector<std::pair<std::string, const TStringList*>>& files) {
    // Private (0600) and replaced as a whole, like the program's own result
    // files: they name every folder of the tree.
    // Each flush waits for the disk: one at a time, they wait in a row (a
    // few tens of milliseconds on a busy disk, the whole walk of a small
    // tree). No file is renamed before every one is on the disk.
    std::vector<std::unique_ptr<TAtomicFile>> out;
    for (const auto& f : files)
        out.push_back(std::make_unique<TAtomicFile>(f.first));
    const bool written = EachAtOnce(
        files.size(), [&](std::size_t i) { return WriteAndFlush(*out[i], *files[i].second); });
    return written && EachAtOnce(files.size(), [&](std::size_t i) { return out[i]->Commit(); });
}

void ShowProgressLine(const char* verb, const std::function<TWalkedCounts()>& counts,
                      const std::atomic<bool>& done) {
    const auto start = std::chrono::steady_clock::now();
    while (!done.load()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const double s =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        // A line that cannot be made while memory runs out is left out: on
        // this thread an exception would end the program.
        try {
            const TWalkedCounts c = counts();
            const std::string bytes = FormatGB(std::to_string(c.Bytes));
            std::fprintf(stderr, "\r%s: %s, %s, %s, %s s ", verb,
                         CountText(c.Folders, "folder", "folders").c_str(),
                         CountText(c.Files, "file", "files").c_str(), bytes.c_str(),
                         SecondsText(s).c_str());
        } catch (...) {
        }
    }
    std::fprintf(stderr, "\r\033[K");
}
