#include "tools/scan/ScanReport.h"

#include <QByteArray>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cstdio>
#include <ostream>

#include "engine/NumberText.h"
#include "platform/AtomicFile.h"
#include "platform/DriveForm.h"

namespace {

constexpr int kBarWidth = 30;

std::int64_t ReadSize(const std::string& text) {
    std::int64_t v = 0;
    return TryTextToInt64(text, v) ? v : 0;
}

QString Display(const std::string& raw) {
    return QFile::decodeName(QByteArray::fromStdString(raw));
}

}  // namespace

TScanReport MakeScanReport(const TStringList& dirs, const TStringList& sizes, int top) {
    TScanReport r;
    r.Folders = dirs.size();
    if (dirs.empty())
        return r;
    r.DriveForm = dirs[0];
    r.TotalBytes = ReadSize(sizes[0]);
    const std::string prefix = dirs[0] + "\\";
    for (size_t i = 1; i < dirs.size(); ++i) {
        const std::string& d = dirs[i];
        if (d.compare(0, prefix.size(), prefix) != 0 ||
            d.find('\\', prefix.size()) != std::string::npos)
            continue;
        TScanSubfolder s;
        s.Name = UnescapeName(std::string_view(d).substr(prefix.size()));
        s.Bytes = ReadSize(sizes[i]);
        s.Share = r.TotalBytes > 0 ? 100.0 * static_cast<double>(s.Bytes) / r.TotalBytes : 0;
        r.Largest.push_back(std::move(s));
    }
    std::stable_sort(
        r.Largest.begin(), r.Largest.end(),
        [](const TScanSubfolder& a, const TScanSubfolder& b) { return a.Bytes > b.Bytes; });
    if (static_cast<int>(r.Largest.size()) > top)
        r.Largest.resize(top);
    return r;
}

std::string HumanSize(std::int64_t bytes) {
    static const char* kUnits[] = {"B", "KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
    double v = static_cast<double>(bytes);
    int unit = 0;
    while ((v >= 1024 || v <= -1024) && unit < 6) {
        v /= 1024;
        ++unit;
    }
    char buf[32];
    if (unit == 0)
        std::snprintf(buf, sizeof buf, "%lld B", static_cast<long long>(bytes));
    else
        std::snprintf(buf, sizeof buf, "%.1f %s", v, kUnits[unit]);
    // The decimal point is always "." whatever the locale.
    for (char& c : buf)
        if (c == ',')
            c = '.';
    return buf;
}

void PrintScanText(const TScanReport& r, std::ostream& out) {
    char line[160];
    out << r.NativePath << "  (" << r.DriveForm << ")\n";
    std::snprintf(line, sizeof line, "Total: %s (%lld bytes) in %zu folders, scanned in %.2f s\n",
                  HumanSize(r.TotalBytes).c_str(), static_cast<long long>(r.TotalBytes), r.Folders,
                  r.Seconds);
    out << line;
    if (r.Largest.empty())
        return;
    out << "Largest subfolders:\n";
    for (const TScanSubfolder& s : r.Largest) {
        const int filled =
            std::clamp(static_cast<int>(s.Share / 100.0 * kBarWidth + 0.5), 0, kBarWidth);
        std::snprintf(line, sizeof line, "%10s %6.1f%%  ", HumanSize(s.Bytes).c_str(), s.Share);
        out << line << std::string(filled, '#') << std::string(kBarWidth - filled, '.') << "  "
            << s.Name << '\n';
    }
}

void PrintScanJson(const TScanReport& r, std::ostream& out) {
    QJsonObject o;
    o["path"] = Display(r.NativePath);
    o["drive_form"] = Display(r.DriveForm);
    o["total_bytes"] = static_cast<qint64>(r.TotalBytes);
    o["folders"] = static_cast<qint64>(r.Folders);
    o["seconds"] = r.Seconds;
    QJsonArray largest;
    for (const TScanSubfolder& s : r.Largest) {
        QJsonObject e;
        e["name"] = Display(s.Name);
        e["bytes"] = static_cast<qint64>(s.Bytes);
        e["share"] = s.Share;
        largest.append(e);
    }
    o["largest"] = largest;
    out << QJsonDocument(o).toJson(QJsonDocument::Indented).toStdString();
}

bool WriteListFile(const std::string& path, const TStringList& lines) {
    // Private (0600) and replaced as a whole, like the program's own result
    // files: they name every folder of the tree.
    TAtomicFile file(path);
    if (!file.Open())
        return false;
    for (const std::string& l : lines)
        if (!file.Write(l) || !file.Write("\r\n"))
            return false;
    return file.Finish() && file.Commit();
}
