#include "tools/scan/DiscoverReport.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <algorithm>
#include <ostream>

#include "platform/DriveForm.h"
#include "tools/scan/ReportText.h"
#include "views/common/NumberText.h"

namespace {

constexpr int kDiscoverBarWidth = 20;

std::string Padded(const std::string& text, std::size_t width) {
    return std::string(text.size() < width ? width - text.size() : 0, ' ') + text;
}

std::string MB(std::int64_t bytes) {
    return FormatMB(std::to_string(bytes));
}

// The local date and time of a change, "2024-05-01 13:45", or "-".
std::string TimeText(std::int64_t mtime) {
    if (mtime == kNoTime)
        return "-";
    return QDateTime::fromSecsSinceEpoch(mtime).toString("yyyy-MM-dd HH:mm").toStdString();
}

// The first Count of Files below the report's folder.
std::vector<const TLargeFile*> Listed(const TDiscoverReport& r, const std::vector<TLargeFile>& all,
                                      int count) {
    std::vector<const TLargeFile*> files;
    for (const TLargeFile& f : all) {
        if (static_cast<int>(files.size()) >= count)
            break;
        if (r.Below.empty() || PathIsBelow(f.Path, r.Below))
            files.push_back(&f);
    }
    return files;
}

std::string TypeName(const TTypeTotal& t) {
    return t.Ext.empty() ? "" : "." + t.Ext;
}

double Share(std::int64_t bytes, std::int64_t all) {
    return all > 0 ? 100.0 * static_cast<double>(bytes) / static_cast<double>(all) : 0.0;
}

void PrintTypeLine(const TTypeTotal& t, std::int64_t all, const std::string& name,
                   std::ostream& out) {
    const double share = Share(t.Bytes, all);
    const int filled =
        std::clamp(static_cast<int>(share / 100.0 * kDiscoverBarWidth + 0.5), 0, kDiscoverBarWidth);
    out << Padded(std::to_string(t.Files), 10) << Padded(MB(t.Bytes) + " MB", 14)
        << Padded(FormatOneDecimal(share) + "%", 8) << "  " << std::string(filled, '#')
        << std::string(kDiscoverBarWidth - filled, '.') << "  " << VisibleName(name) << '\n';
}

void PrintFileLines(const TDiscoverReport& r, const std::vector<const TLargeFile*>& files,
                    const std::string& indent, std::ostream& out) {
    for (const TLargeFile* f : files)
        out << indent << Padded(MB(f->Size) + " MB", 14) << "  " << Padded(TimeText(f->MTime), 16)
            << "  " << VisibleName(DiscoverNativePath(r, f->Path)) << '\n';
}

// A list holding fewer files than a drive scan would (see DiscoverData.h).
bool Partial(const std::vector<TLargeFile>& files, std::int64_t floor, std::size_t limit) {
    return floor >= 0 && files.size() < limit;
}

void PrintPartial(std::size_t count, std::int64_t floor, const std::string& indent,
                  std::ostream& out) {
    out << indent << "(Folders were rescanned since the last drive scan: the list holds "
        << CountText(count, "file", "files") << ", every file larger than " << floor
        << " bytes, until the next drive scan.)\n";
}

void PrintLargestText(const TDiscoverReport& r, std::ostream& out) {
    out << "Largest files:\n";
    PrintFileLines(r, Listed(r, r.Data.Largest, r.Largest), "", out);
    if (r.Data.Partial())
        PrintPartial(r.Data.Largest.size(), r.Data.Floor, "", out);
    if (!r.Data.HasTimes)
        out << "(The export has no modification times.)\n";
}

// Under a type's line: its largest files, indented, or why they are not known.
void PrintTypeFiles(const TDiscoverReport& r, const std::string& ext, std::ostream& out) {
    const auto list = r.Data.TypeFiles.find(ext);
    if (list == r.Data.TypeFiles.end()) {
        out << "            (its files are not known until the next drive scan)\n";
        return;
    }
    PrintFileLines(r, Listed(r, list->second.Files, r.TypeFiles), "            ", out);
    if (Partial(list->second.Files, list->second.Floor, kTypeFiles))
        PrintPartial(list->second.Files.size(), list->second.Floor, "            ", out);
}

void PrintOldText(const TDiscoverReport& r, std::ostream& out) {
    out << "Old files (not changed for over a year before the scan):\n";
    if (!r.Data.HasTimes) {
        out << "(The export has no modification times.)\n";
        return;
    }
    if (!r.Data.OldKnown()) {
        out << "(Not known until the next drive scan.)\n";
        return;
    }
    PrintFileLines(r, Listed(r, r.Data.Old.Files, r.Old), "", out);
    if (Partial(r.Data.Old.Files, r.Data.Old.Floor, kOldFiles))
        PrintPartial(r.Data.Old.Files.size(), r.Data.Old.Floor, "", out);
}

QJsonArray FilesJson(const TDiscoverReport& r, const std::vector<TLargeFile>& all, int count) {
    QJsonArray files;
    for (const TLargeFile* f : Listed(r, all, count)) {
        QJsonObject e;
        PutJsonName(e, "path", DiscoverNativePath(r, f->Path));
        e["bytes"] = static_cast<qint64>(f->Size);
        e["allocated_bytes"] = static_cast<qint64>(f->Allocated);
        e["mtime"] = f->MTime == kNoTime ? QJsonValue() : QJsonValue(qint64(f->MTime));
        files.append(e);
    }
    return files;
}

void PrintTypesText(const TDiscoverReport& r, std::ostream& out) {
    const TFileTypes& types = r.Data.Types;
    const std::int64_t all = types.All().Bytes;
    out << "File types" << (r.Data.TypesAsOfDriveScan ? " (as of the last drive scan)" : "")
        << ":\n";
    out << Padded("files", 10) << Padded("size", 14) << Padded("share", 8) << "\n";
    for (const TTypeTotal& t : types.Kept) {
        PrintTypeLine(t, all, TypeName(t), out);
        if (r.TypeFiles > 0)
            PrintTypeFiles(r, t.Ext, out);
    }
    if (types.NoExtension.Files > 0)
        PrintTypeLine(types.NoExtension, all, "(no extension)", out);
    if (types.Other.Files > 0)
        PrintTypeLine(types.Other, all, "(other types)", out);
}

QJsonObject TypeJson(const TTypeTotal& t, std::int64_t all) {
    QJsonObject e;
    e["files"] = static_cast<qint64>(t.Files);
    e["bytes"] = static_cast<qint64>(t.Bytes);
    e["allocated_bytes"] = static_cast<qint64>(t.Allocated);
    e["share"] = Share(t.Bytes, all);
    return e;
}

}  // namespace

std::string DiscoverNativePath(const TDiscoverReport& r, const std::string& path) {
    std::string_view rest(path);
    std::string native = r.RootNative;
    if (rest.substr(0, r.RootDriveForm.size()) == r.RootDriveForm)
        rest.remove_prefix(r.RootDriveForm.size());
    else
        native.clear();
    while (!rest.empty()) {
        if (rest.front() == '\\')
            rest.remove_prefix(1);
        const std::size_t end = rest.find('\\');
        if (native.empty() || native.back() != '/')
            native += '/';
        native += UnescapeName(rest.substr(0, end));
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end);
    }
    return native;
}

void PrintDiscoverText(const TDiscoverReport& r, std::ostream& out) {
    if (!r.Wanted())
        return;
    if (!r.Known) {
        out << "Largest files and file types: " << VisibleName(r.Unknown) << "\n";
        return;
    }
    if (r.Largest > 0)
        PrintLargestText(r, out);
    if (r.Types)
        PrintTypesText(r, out);
    if (r.Old > 0)
        PrintOldText(r, out);
}

void PutDiscoverJson(const TDiscoverReport& r, QJsonObject& o) {
    if (!r.Wanted())
        return;
    if (!r.Known) {
        o["discover_unknown"] = QString::fromStdString(r.Unknown);
        return;
    }
    if (r.Largest > 0) {
        o["largest_files"] = FilesJson(r, r.Data.Largest, r.Largest);
        o["largest_files_complete"] = !r.Data.Partial();
    }
    if (r.Old > 0 && r.Data.HasTimes && r.Data.OldKnown()) {
        o["old_files"] = FilesJson(r, r.Data.Old.Files, r.Old);
        o["old_files_complete"] = !Partial(r.Data.Old.Files, r.Data.Old.Floor, kOldFiles);
        o["old_before"] = static_cast<qint64>(r.Data.OldBefore());
    } else if (r.Old > 0) {
        o["old_files"] = QJsonValue();  // not known: no times, or stored before they were
    }
    if (r.Types) {
        const TFileTypes& types = r.Data.Types;
        const std::int64_t all = types.All().Bytes;
        QJsonArray list;
        for (const TTypeTotal& t : types.Kept) {
            QJsonObject e = TypeJson(t, all);
            PutJsonName(e, "type", t.Ext);
            const auto files = r.Data.TypeFiles.find(t.Ext);
            if (r.TypeFiles > 0 && files == r.Data.TypeFiles.end()) {
                e["largest_files"] = QJsonValue();  // not known until the next drive scan
            } else if (r.TypeFiles > 0) {
                e["largest_files"] = FilesJson(r, files->second.Files, r.TypeFiles);
                e["largest_files_complete"] =
                    !Partial(files->second.Files, files->second.Floor, kTypeFiles);
            }
            list.append(e);
        }
        QJsonObject table;
        table["types"] = list;
        table["no_extension"] = TypeJson(types.NoExtension, all);
        table["other"] = TypeJson(types.Other, all);
        table["as_of_last_drive_scan"] = r.Data.TypesAsOfDriveScan;
        o["file_types"] = table;
    }
}

void PrintStoredDiscover(const std::string& native, const std::string& driveForm,
                         const TDiscoverReport& report, bool json, std::ostream& out) {
    if (!json) {
        out << VisibleName(native) << "  (" << VisibleName(driveForm) << ")\n";
        PrintDiscoverText(report, out);
        return;
    }
    QJsonObject o;
    PutJsonName(o, "path", native);
    PutJsonName(o, "drive_form", driveForm);
    PutDiscoverJson(report, o);
    out << QJsonDocument(o).toJson(QJsonDocument::Indented).toStdString();
}

void ReadDiscoverLines(const TStringList* lines, TDiscoverReport& report) {
    std::string error;
    report.Known = lines && TDiscoverData::FromLines(*lines, report.Data, error);
    if (!report.Known)
        report.Unknown =
            "not stored with these results (saved by an earlier version); scan the "
            "drive again";
}
