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
#include <ostream>
#include <thread>

#include "engine/NumberText.h"
#include "platform/AtomicFile.h"
#include "platform/DriveForm.h"
#include "views/common/NumberText.h"

namespace {

constexpr int kBarWidth = 30;

std::int64_t ReadSize(std::string_view text) {
    std::int64_t v = 0;
    return TryTextToInt64(text, v) ? v : 0;
}

// The length of the well-formed UTF-8 sequence at the start of text, 0 when
// there is none (a stray continuation byte, an overlong form, a surrogate,
// a code point past U+10FFFF, a cut-off sequence).
std::size_t Utf8Length(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    return length;
}

void AppendEscaped(std::string& out, unsigned char c) {
    static const char kHex[] = "0123456789ABCDEF";
    out += "\\x";
    out += kHex[c >> 4];
    out += kHex[c & 0xF];
}

}  // namespace

// JSON text is Unicode, a name is bytes. The text is always there for
// reading; where the bytes are not valid UTF-8 (so the text cannot carry
// them), KEY_base64 holds the exact bytes.
void PutJsonName(QJsonObject& o, const QString& key, const std::string& raw) {
    const QByteArray bytes = QByteArray::fromStdString(raw);
    const QString text = QString::fromUtf8(bytes);
    o[key] = text;
    if (text.toUtf8() != bytes)
        o[key + "_base64"] = QString::fromLatin1(bytes.toBase64());
}

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

namespace {

// The characters that reorder the text around them on a terminal (U+061C,
// U+200E, U+200F, U+202A to U+202E, U+2066 to U+2069), given the UTF-8
// sequence of one character: a name holding U+202E would show the rest of
// its line backwards, so "exe.txt" could read as "txt.exe".
bool IsBidiControl(std::string_view c) {
    if (c.size() == 2)
        return c == "\xD8\x9C";
    if (c.size() != 3 || static_cast<unsigned char>(c[0]) != 0xE2)
        return false;
    const auto b1 = static_cast<unsigned char>(c[1]);
    const auto b2 = static_cast<unsigned char>(c[2]);
    return (b1 == 0x80 && (b2 == 0x8E || b2 == 0x8F || (b2 >= 0xAA && b2 <= 0xAE))) ||
           (b1 == 0x81 && b2 >= 0xA6 && b2 <= 0xA9);
}

}  // namespace

std::string VisibleName(std::string_view raw) {
    std::string out;
    out.reserve(raw.size());
    while (!raw.empty()) {
        const auto c = static_cast<unsigned char>(raw[0]);
        const std::size_t length = Utf8Length(raw);
        // C1 controls are U+0080 to U+009F: C2 80 to C2 9F in UTF-8.
        const bool control =
            c < 0x20 || c == 0x7F ||
            (length == 2 && c == 0xC2 && static_cast<unsigned char>(raw[1]) < 0xA0) ||
            (length > 0 && IsBidiControl(raw.substr(0, length)));
        if (length == 0 || control) {
            for (std::size_t i = 0; i < std::max<std::size_t>(length, 1); ++i)
                AppendEscaped(out, static_cast<unsigned char>(raw[i]));
            raw.remove_prefix(std::max<std::size_t>(length, 1));
        } else {
            out.append(raw.substr(0, length));
            raw.remove_prefix(length);
        }
    }
    return out;
}

void PrintMessage(std::ostream& err, std::string_view message) {
    err << "cobaltquarry-scan: " << VisibleName(message) << "\n";
}

void PrintUsageError(std::ostream& err, std::string_view message) {
    PrintMessage(err, message);
    err << "Try 'cobaltquarry-scan --help' for more information.\n";
}

std::string CountText(std::uint64_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
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

bool WriteListFile(const std::string& path, const TStringList& lines) {
    // Private (0600) and replaced as a whole, like the program's own result
    // files: they name every folder of the tree.
    TAtomicFile file(path);
    if (!file.Open())
        return false;
    for (std::string_view l : lines)
        if (!file.Write(l) || !file.Write("\r\n"))
            return false;
    return file.Finish() && file.Commit();
}

void ShowProgressLine(const char* verb, const std::function<TWalkedCounts()>& counts,
                      const std::atomic<bool>& done) {
    const auto start = std::chrono::steady_clock::now();
    while (!done.load()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const double s =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const TWalkedCounts c = counts();
        const std::string bytes = FormatGB(std::to_string(c.Bytes));
        std::fprintf(stderr, "\r%s: %s, %s, %s, %s s ", verb,
                     CountText(c.Folders, "folder", "folders").c_str(),
                     CountText(c.Files, "file", "files").c_str(), bytes.c_str(),
                     SecondsText(s).c_str());
    }
    std::fprintf(stderr, "\r\033[K");
}
