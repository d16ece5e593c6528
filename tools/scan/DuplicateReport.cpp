#include "tools/scan/DuplicateReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <chrono>
#include <iostream>
#include <thread>

#include "engine/DuplicateFinder.h"
#include "engine/NumberText.h"
#include "platform/Console.h"
#include "tools/scan/ReportText.h"
#include "tools/scan/ScanExit.h"

namespace {

std::string ByteCount(std::int64_t bytes) {
    return Int64ToText(bytes) + (bytes == 1 ? " byte" : " bytes");
}

// One progress line on standard error, rewritten in place.
void ShowProgress(const TDuplicateProgress& p) {
    const double left = p.SecondsLeft();
    std::cerr << "\r" << p.FilesListed << " files listed, " << p.FilesHashed << " of "
              << p.Candidates << " candidates read, " << p.BytesHashed / (1024 * 1024)
              << " MiB hashed";
    if (left >= 0)
        std::cerr << ", about " << static_cast<long long>(left + 0.5) << " s left";
    std::cerr << "   " << std::flush;
}

// Runs the search, with a progress line when standard error is a terminal.
bool Search(const std::string& path, TDuplicateFinder& finder, TDuplicateResult& result) {
    if (!StandardErrorIsTerminal())
        return finder.Run(path, result);
    std::atomic<bool> done{false};
    std::thread progress([&] {
        while (!done) {
            ShowProgress(finder.Progress);
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
        }
        std::cerr << "\r\033[K" << std::flush;
    });
    const bool finished = finder.Run(path, result);
    done = true;
    progress.join();
    return finished;
}

void PrintCopy(const TDuplicateGroup& g, std::size_t i, std::ostream& out) {
    const TDuplicateCopy& c = g.Copies[i];
    out << "  " << VisibleName(c.Names.front());
    if (g.IsShared(i))
        out << "  [already shared]";
    out << "\n";
    for (std::size_t n = 1; n < c.Names.size(); ++n)
        out << "    = " << VisibleName(c.Names[n]) << "  (hard link)\n";
}

}  // namespace

void PrintDuplicatesText(const TDuplicateResult& r, std::ostream& out) {
    out << "Duplicate files below " << VisibleName(r.Root) << " (files of at least "
        << ByteCount(r.MinSize) << "):\n";
    for (const TDuplicateGroup& g : r.Groups) {
        out << "\n"
            << CountText(g.Copies.size(), "copy", "copies") << " of " << ByteCount(g.Size)
            << ", waste " << ByteCount(g.Waste()) << ":\n";
        for (std::size_t i = 0; i < g.Copies.size(); ++i)
            PrintCopy(g, i, out);
    }
    out << "\nTotal waste: " << ByteCount(r.TotalWaste()) << " in "
        << CountText(r.Groups.size(), "group", "groups") << "\n";
}

void PrintDuplicatesJson(const TDuplicateResult& r, std::ostream& out) {
    QJsonArray groups;
    for (const TDuplicateGroup& g : r.Groups) {
        QJsonArray copies;
        for (std::size_t i = 0; i < g.Copies.size(); ++i) {
            const TDuplicateCopy& c = g.Copies[i];
            QJsonArray names;
            for (const std::string& name : c.Names) {
                QJsonObject n;
                PutJsonName(n, "path", name);
                names.append(n);
            }
            QJsonObject copy;
            copy["names"] = names;
            copy["device"] = QString::number(c.Device);
            copy["inode"] = QString::number(c.Inode);
            copy["mtime"] = qint64(c.WriteNanos / 1000000000);
            copy["shared_set"] = c.SharedSet;
            copy["already_shared"] = g.IsShared(i);
            copies.append(copy);
        }
        QJsonObject group;
        group["bytes"] = qint64(g.Size);
        group["waste"] = qint64(g.Waste());
        group["copies"] = copies;
        groups.append(group);
    }
    QJsonObject o;
    PutJsonName(o, "path", r.Root);
    o["min_size"] = qint64(r.MinSize);
    o["groups"] = groups;
    o["total_waste"] = qint64(r.TotalWaste());
    o["files"] = qint64(r.FilesListed);
    o["candidates"] = qint64(r.Candidates);
    out << QJsonDocument(o).toJson(QJsonDocument::Indented).toStdString();
}

int RunDuplicateReport(const std::string& nativePath, std::int64_t minSize, bool json,
                       std::atomic<bool>& cancel, std::ostream& out, std::ostream& err) {
    TDuplicateFinder finder({minSize, 0}, &cancel);
    TDuplicateResult result;
    if (!Search(nativePath, finder, result)) {
        PrintMessage(err, "the search was cancelled");
        return TScanExit::kCancelled;
    }
    if (json)
        PrintDuplicatesJson(result, out);
    else
        PrintDuplicatesText(result, out);
    const std::uint64_t skipped = finder.Progress.Changed + finder.Progress.Unreadable;
    if (skipped > 0)
        PrintMessage(err, CountText(skipped, "file", "files") +
                              " left out: changed while read or not readable");
    return 0;
}
