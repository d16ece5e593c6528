#include "tools/scan/ChangesReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <ostream>

#include "engine/ScanHistory.h"
#include "platform/DriveForm.h"
#include "tools/scan/ReportText.h"
#include "views/bar/BarChanges.h"
#include "views/common/NumberText.h"

namespace {

const char* StateName(TChangedFolder::TState state) {
    switch (state) {
        case TChangedFolder::TState::Grown:
            return "grown";
        case TChangedFolder::TState::Shrunk:
            return "shrunk";
        case TChangedFolder::TState::New:
            return "new";
        case TChangedFolder::TState::Gone:
            return "gone";
    }
    return "";
}

std::string NameOf(std::string_view path, std::size_t prefix) {
    return UnescapeName(path.substr(prefix));
}

void Keep(std::vector<TChangedFolder>& list, int top, bool growth) {
    std::stable_sort(list.begin(), list.end(), [growth](const auto& a, const auto& b) {
        return growth ? a.Change > b.Change : a.Change < b.Change;
    });
    if (static_cast<int>(list.size()) > top) {
        list.resize(static_cast<std::size_t>(top));
    }
}

}  // namespace

bool MakeChangesReport(const TStringList& dirs, const TResultChanges& changes,
                       const std::string& folder, int top, TChangesReport& report) {
    const auto at = std::lower_bound(dirs.begin(), dirs.end(), folder);
    if (at == dirs.end() || *at != folder) {
        return false;
    }
    const auto k = static_cast<std::size_t>(at - dirs.begin());
    report.Bytes = changes.Now[k];
    report.FolderIsNew = changes.IsNew(k);
    report.Before = report.FolderIsNew ? 0 : changes.Before[k];

    const std::string prefix = folder + "\\";
    for (auto it = at + 1; it != dirs.end() && it->compare(0, prefix.size(), prefix) == 0; ++it) {
        if (it->find('\\', prefix.size()) != std::string::npos) {
            continue;
        }
        const auto i = static_cast<std::size_t>(it - dirs.begin());
        TChangedFolder entry;
        entry.Name = NameOf(*it, prefix.size());
        entry.Bytes = changes.Now[i];
        entry.Before = changes.IsNew(i) ? 0 : changes.Before[i];
        entry.Change = changes.Change(i);
        if (changes.IsNew(i)) {
            entry.State = TChangedFolder::TState::New;
            report.Grown.push_back(entry);
        } else if (entry.Change > 0) {
            entry.State = TChangedFolder::TState::Grown;
            report.Grown.push_back(entry);
        } else if (entry.Change < 0) {
            entry.State = TChangedFolder::TState::Shrunk;
            report.Shrunk.push_back(entry);
        }
    }
    for (std::size_t g : changes.GoneInside(folder)) {
        TChangedFolder entry;
        entry.State = TChangedFolder::TState::Gone;
        entry.Name = NameOf(changes.GoneDirs[g], prefix.size());
        entry.Before = changes.GoneSizes[g];
        entry.Change = -entry.Before;
        report.Shrunk.push_back(entry);
    }
    Keep(report.Grown, top, true);
    Keep(report.Shrunk, top, false);
    return true;
}

void PrintChangesText(const TChangesReport& r, std::ostream& out) {
    out << VisibleName(r.NativePath) << "  (" << VisibleName(r.DriveForm) << ")\n";
    out << "Changes since " << TScanHistory::TimeText(r.KeptTime) << " (" << VisibleName(r.KeptName)
        << ")\n";
    out << "Total: " << FormatGB(std::to_string(r.Bytes)) << ", "
        << (r.FolderIsNew ? std::string("new since") : SignedMB(r.Bytes - r.Before) + " MB")
        << "\n";
    auto list = [&out](const char* title, const std::vector<TChangedFolder>& folders) {
        if (folders.empty()) {
            return;
        }
        out << title << "\n";
        for (const TChangedFolder& f : folders) {
            const std::string mb = SignedMB(f.Change) + " MB";
            const std::string note = f.State == TChangedFolder::TState::New    ? "  (new)"
                                     : f.State == TChangedFolder::TState::Gone ? "  (gone)"
                                                                               : "";
            out << std::string(mb.size() < 14 ? 14 - mb.size() : 0, ' ') << mb << "  "
                << VisibleName(f.Name) << note << "\n";
        }
    };
    list("Grown:", r.Grown);
    list("Shrunk:", r.Shrunk);
    if (r.Grown.empty() && r.Shrunk.empty()) {
        out << "No subfolder changed.\n";
    }
}

void PrintChangesJson(const TChangesReport& r, std::ostream& out) {
    QJsonObject o;
    PutJsonName(o, "path", r.NativePath);
    PutJsonName(o, "drive_form", r.DriveForm);
    o["since"] = QString::fromStdString(TScanHistory::TimeText(r.KeptTime));
    o["since_seconds"] = static_cast<qint64>(r.KeptTime);
    o["kept_set"] = QString::fromStdString(r.KeptName);
    o["bytes"] = static_cast<qint64>(r.Bytes);
    if (r.FolderIsNew) {
        o["bytes_before"] = QJsonValue::Null;
    } else {
        o["bytes_before"] = static_cast<qint64>(r.Before);
    }
    auto list = [](const std::vector<TChangedFolder>& folders) {
        QJsonArray array;
        for (const TChangedFolder& f : folders) {
            QJsonObject e;
            PutJsonName(e, "name", f.Name);
            e["state"] = StateName(f.State);
            e["bytes"] = static_cast<qint64>(f.Bytes);
            e["bytes_before"] = static_cast<qint64>(f.Before);
            e["change"] = static_cast<qint64>(f.Change);
            array.append(e);
        }
        return array;
    };
    o["grown"] = list(r.Grown);
    o["shrunk"] = list(r.Shrunk);
    out << QJsonDocument(o).toJson(QJsonDocument::Indented).toStdString();
}
