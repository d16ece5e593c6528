#include "engine/ScanHistory.h"

#include <QDateTime>
#include <QString>
#include <QTimeZone>
#include <algorithm>

#include "engine/NumberText.h"
#include "platform/DataFolder.h"
#include "platform/DataFolderLock.h"
#include "platform/HistoryFolder.h"

namespace {

constexpr const char* kStampFormat = "yyyyMMdd'T'HHmmss'Z'";
constexpr std::string_view kSuffix = ".zst";

QDateTime Utc(std::int64_t time) {
    return QDateTime::fromSecsSinceEpoch(time, QTimeZone::utc());
}

bool NewerFirst(const THistoryEntry& a, const THistoryEntry& b) {
    return a.Time != b.Time ? a.Time > b.Time : a.Serial > b.Serial;
}

// Leftovers of writes that were killed: hidden temporary files beside the sets.
bool IsTemporaryName(std::string_view name) {
    return name.size() > 1 && name[0] == '.' && name.find(kSuffix) != std::string_view::npos;
}

}  // namespace

TScanHistory::TScanHistory(std::string dataFolder) : dataFolder_(std::move(dataFolder)) {}

int TScanHistory::KeepFromEnvironment() {
    const QByteArray text = qgetenv(kKeepVariable);
    std::int64_t keep = 0;
    if (!text.isEmpty() && TryTextToInt64(text.toStdString(), keep) && keep >= 0 &&
        keep <= kMostKeep) {
        return static_cast<int>(keep);
    }
    return kDefaultKeep;
}

bool TScanHistory::UtcTime(const std::string& date, const char* dateFormat,
                           const std::string& clock, const char* clockFormat, std::int64_t& time) {
    // Date and time are read apart and joined in UTC: read as one local
    // time, an hour that the local clock skips (a daylight-saving gap) would
    // not exist at all, and an hour it repeats would be ambiguous.
    const QDate day = QDate::fromString(QString::fromStdString(date), dateFormat);
    const QTime moment = QTime::fromString(QString::fromStdString(clock), clockFormat);
    if (!day.isValid() || !moment.isValid()) {
        return false;
    }
    time = QDateTime(day, moment, QTimeZone::utc()).toSecsSinceEpoch();
    return true;
}

std::string TScanHistory::TimeText(std::int64_t time) {
    return Utc(time).toString("yyyy-MM-dd HH:mm").toStdString() + " UTC";
}

std::string TScanHistory::FileName(char drive, std::int64_t time, int serial) {
    std::string name = std::string(1, drive) + "-" + Utc(time).toString(kStampFormat).toStdString();
    if (serial > 0) {
        name += "-" + std::to_string(serial);
    }
    return name + std::string(kSuffix);
}

bool TScanHistory::ParseName(const std::string& name, THistoryEntry& entry) {
    // "C-20261209T074010Z.zst" or "C-20261209T074010Z-2.zst"
    constexpr std::size_t kStamp = 16;
    if (name.size() < 2 + kStamp + kSuffix.size() || name[0] < 'A' || name[0] > 'Z' ||
        name[1] != '-' ||
        name.compare(name.size() - kSuffix.size(), kSuffix.size(), kSuffix) != 0) {
        return false;
    }
    const std::string serial = name.substr(2 + kStamp, name.size() - kSuffix.size() - 2 - kStamp);
    std::int64_t number = 0;
    if (!serial.empty() && (serial[0] != '-' || !TryTextToInt64(serial.substr(1), number) ||
                            number <= 0 || number > 1'000'000)) {
        return false;
    }
    // "20261209T074010Z": the date, a T, the time, a Z.
    const std::string stamp = name.substr(2, kStamp);
    std::int64_t time = 0;
    if (stamp[8] != 'T' || stamp[15] != 'Z' ||
        !UtcTime(stamp.substr(0, 8), "yyyyMMdd", stamp.substr(9, 6), "HHmmss", time)) {
        return false;
    }
    entry.Drive = name[0];
    entry.Time = time;
    entry.Serial = static_cast<int>(number);
    entry.Name = name;
    return true;
}

std::vector<THistoryEntry> TScanHistory::Entries(char drive) const {
    std::vector<THistoryEntry> entries;
    // A link in the folder's place is not followed, as when the sets are written.
    const std::string folder = ExistingHistoryFolder(dataFolder_);
    if (folder.empty()) {
        return entries;
    }
    for (const std::string& name : DataFileNames(folder)) {
        THistoryEntry entry;
        if (ParseName(name, entry) && entry.Drive == drive) {
            entry.Path = folder + name;
            entries.push_back(std::move(entry));
        }
    }
    std::sort(entries.begin(), entries.end(), NewerFirst);
    return entries;
}

bool TScanHistory::Record(char drive, std::int64_t time, const TStringList& dirs,
                          const TStringList& sizes, std::string& error, const TExtraLists& extras) {
    std::string problem;
    const std::string folder = HistoryFolder(dataFolder_, &problem);
    if (folder.empty()) {
        error = problem;
        return false;
    }
    // The window and the scanner may both save: one at a time, so that the
    // names stay unique and no write meets a removal.
    TDataFolderLock lock(dataFolder_, TDataFolderLock::TMode::Exclusive);
    RemoveDataFiles(folder, IsTemporaryName);
    if (Keep > 0) {
        const std::vector<THistoryEntry> before = Entries(drive);
        int serial = 0;
        std::string name = FileName(drive, time);
        while (std::any_of(before.begin(), before.end(),
                           [&name](const THistoryEntry& e) { return e.Name == name; })) {
            name = FileName(drive, time, ++serial);
        }
        if (!WriteHistorySnapshot(folder + name, drive, time, dirs, sizes, error, extras)) {
            return false;
        }
    }
    const std::vector<THistoryEntry> entries = Entries(drive);
    for (std::size_t i = static_cast<std::size_t>(Keep); i < entries.size(); ++i) {
        RemoveDataFile(entries[i].Path);
    }
    return true;
}

bool TScanHistory::Load(const THistoryEntry& entry, THistorySnapshot& snapshot,
                        std::string& message) const {
    std::string why;
    if (ReadHistorySnapshot(entry.Path, snapshot, why) && snapshot.Drive != entry.Drive) {
        why = "it holds the results of another drive";
    }
    if (why.empty()) {
        return true;
    }
    snapshot = THistorySnapshot();
    message = "The kept results of drive " + std::string(1, entry.Drive) + ": from " +
              TimeText(entry.Time) + " (" + entry.Path + ") cannot be used: " + why +
              ". They are skipped.";
    return false;
}
