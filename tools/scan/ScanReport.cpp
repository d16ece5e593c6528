#include "tools/scan/ScanReport.h"

#include <QByteArray>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <algorithm>
#include <charconv>
#include <ostream>

#include "engine/NumberText.h"
#include "platform/AtomicFile.h"
#include "platform/DriveForm.h"
#include "views/common/NumberText.h"

namespace {

constexpr int kBarWidth = 30;

std::int64_t ReadSize(const std::string& text) {
    std::int64_t v = 0;
    return TryTextToInt64(text, v) ? v : 0;
}

// A name or path in JSON: JSON text is Unicode, a name is bytes. The text
// is always there for reading; where the bytes are not valid UTF-8 (so the
// text cannot carry them), KEY_base64 holds the exact bytes.
void PutName(QJsonObject& o, const QString& key, const std::string& raw) {
    const QByteArray bytes = QByteArray::fromStdString(raw);
    const QString text = QString::fromUtf8(bytes);
    o[key] = text;
    if (text.toUtf8() != bytes)
        o[key + "_base64"] = QString::fromLatin1(bytes.toBase64());
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

std::string SecondsText(double seconds) {
    // to_chars ignores the locale: the point stays a point even after a GUI
    // application has taken over the user's number settings.
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, seconds, std::chars_format::fixed, 2);
    return std::string(buf, r.ptr);
}

void PrintScanText(const TScanReport& r, std::ostream& out) {
    const std::string total = std::to_string(r.TotalBytes);
    out << r.NativePath;
    if (!r.DriveForm.empty())
        out << "  (" << r.DriveForm << ")";
    out << "\n";
    out << "Total: " << FormatGB(total) << " (" << total << " bytes) in " << r.Folders
        << " folders, scanned in " << SecondsText(r.Seconds) << " s\n";
    if (r.Largest.empty())
        return;
    out << "Largest subfolders:\n";
    for (const TScanSubfolder& s : r.Largest) {
        const int filled =
            std::clamp(static_cast<int>(s.Share / 100.0 * kBarWidth + 0.5), 0, kBarWidth);
        const std::string mb = FormatMB(std::to_string(s.Bytes)) + " MB";
        const std::string share = FormatOneDecimal(s.Share) + "%";
        out << std::string(mb.size() < 12 ? 12 - mb.size() : 0, ' ') << mb
            << std::string(share.size() < 8 ? 8 - share.size() : 0, ' ') << share << "  "
            << std::string(filled, '#') << std::string(kBarWidth - filled, '.') << "  " << s.Name
            << '\n';
    }
}

void PrintScanJson(const TScanReport& r, std::ostream& out) {
    QJsonObject o;
    PutName(o, "path", r.NativePath);
    if (r.DriveForm.empty())
        o["drive_form"] = QJsonValue::Null;
    else
        PutName(o, "drive_form", r.DriveForm);
    o["total_bytes"] = static_cast<qint64>(r.TotalBytes);
    o["folders"] = static_cast<qint64>(r.Folders);
    o["seconds"] = r.Seconds;
    QJsonArray largest;
    for (const TScanSubfolder& s : r.Largest) {
        QJsonObject e;
        PutName(e, "name", s.Name);
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
